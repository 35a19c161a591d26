#include "db/AdsTable.h"

#include "base/Dates.h"
#include "base/Text.h"
#include "db/AdsConnection.h"
#include "db/AdsCursor.h"
#include "db/AdsError.h"
#include "db/TableStore.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace gs {

TAdsTable::TAdsTable() = default;

TAdsTable::TAdsTable(TAdsConnection* connection, std::string tableName) : tableName_(std::move(tableName))
{
    SetAdsConnection(connection);
}

TAdsTable::~TAdsTable()
{
    CloseNoThrow();
    if (connection_)
        connection_->UnregisterTable(this);
}

void TAdsTable::Fail(const std::string& text, const std::string& column) const
{
    throw AdsError(text, tableName_, column);
}

void TAdsTable::RequireActive() const
{
    if (!file_)
        Fail("Tabelle ist nicht geöffnet");
}

void TAdsTable::SetAdsConnection(TAdsConnection* connection)
{
    if (connection == connection_)
        return;
    if (Active())
        Fail("Tabelle ist geöffnet: die Verbindung kann nicht gewechselt werden");
    if (connection_)
        connection_->UnregisterTable(this);
    connection_ = connection;
    if (connection_)
        connection_->RegisterTable(this);
}

void TAdsTable::SetTableName(const std::string& name)
{
    if (Active() && name != tableName_)
        Fail("Tabelle ist geöffnet: der Name kann nicht geändert werden");
    tableName_ = name;
}

// --- opening and closing ---------------------------------------------------------------------------

void TAdsTable::SetActive(bool active)
{
    if (!active) {
        CloseNoThrow();
        return;
    }
    if (file_)
        return;
    if (tableName_.empty())
        throw AdsError("Tabelle öffnen: kein Tabellenname angegeben", {});
    if (!connection_)
        Fail("Keine Verbindung zur Datenbank");
    file_ = connection_->AcquireFile(tableName_, readOnly_);
    try {
        cursor_ = std::make_unique<ads::Cursor>(*file_);
        cursor_->AllowStorageOrder(storageOrder_);
        const auto& infos = file_->Fields();
        fields_.clear();
        fields_.reserve(infos.size());
        for (size_t i = 0; i < infos.size(); ++i)
            fields_.push_back(std::make_unique<Field>(*this, static_cast<int>(i), infos[i].name, infos[i].type,
                                                       infos[i].size));
        blobs_.assign(infos.size(), BlobSlot{});
        ApplyOrderAndFilter(indexName_, filter_, filtered_);
        static std::uint64_t openings = 0;
        openId_ = ++openings;
        state_ = TDataSetState::Browse;
        First();
    } catch (...) {
        CloseNoThrow();
        throw;
    }
}

void TAdsTable::CloseNoThrow() noexcept
{
    state_ = TDataSetState::Inactive;
    openId_ = 0;
    modified_ = false;
    editValues_.clear();
    editChanged_.clear();
    fields_.clear();
    blobs_.clear();
    cursor_.reset();
    file_.reset();
    eof_ = bof_ = true;
    firstPending_ = false;
}

void TAdsTable::ApplyOrderAndFilter(const std::string& indexName, const std::string& filter, bool filtered)
{
    ads::WalkOrder order;
    if (!Trim(indexName).empty()) {
        const ads::IndexTag* tag = file_->FindTag(Trim(indexName));
        if (!tag)
            Fail("Index nicht gefunden: " + indexName);
        if (tag->field < 0)
            Fail("Indexausdruck wird nicht unterstützt: " + tag->expression);
        order.keyField = tag->field;
        order.descending = (tag->options & ADS_DESCENDING) != 0;
    }
    ads::Filter parsed;
    if (filtered)
        parsed = ads::Filter::Parse(filter, file_->Fields(), tableName_);
    cursor_->Configure(order, parsed);
}

void TAdsTable::SetIndexName(const std::string& tag)
{
    if (Active()) {
        CheckBrowseMode();
        ApplyOrderAndFilter(tag, filter_, filtered_);
        indexName_ = tag;
        firstPending_ = true;
    } else {
        indexName_ = tag;
    }
}

void TAdsTable::SetFilter(const std::string& filter)
{
    if (Active() && filtered_) {
        CheckBrowseMode();
        ApplyOrderAndFilter(indexName_, filter, true);
        filter_ = filter;
        firstPending_ = true;
    } else {
        filter_ = filter;
    }
}

void TAdsTable::SetFiltered(bool on)
{
    if (Active() && on != filtered_) {
        CheckBrowseMode();
        ApplyOrderAndFilter(indexName_, filter_, on);
        filtered_ = on;
        firstPending_ = true;
    } else {
        filtered_ = on;
    }
}

// --- navigation ------------------------------------------------------------------------------------

void TAdsTable::CheckBrowseMode()
{
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void TAdsTable::First()
{
    RequireActive();
    CheckBrowseMode();
    firstPending_ = false;
    const bool has = cursor_->First();
    bof_ = true;
    eof_ = !has;
    PositionChanged();
}

void TAdsTable::Last()
{
    RequireActive();
    CheckBrowseMode();
    firstPending_ = false;
    const bool has = cursor_->Last();
    eof_ = true;
    bof_ = !has;
    PositionChanged();
}

void TAdsTable::Next()
{
    RequireActive();
    CheckBrowseMode();
    SettlePosition();
    if (eof_)
        return;
    bof_ = false;
    if (!cursor_->Next())
        eof_ = true;
    PositionChanged();
}

void TAdsTable::Prior()
{
    RequireActive();
    CheckBrowseMode();
    SettlePosition();
    if (bof_)
        return;
    eof_ = false;
    if (!cursor_->Prior())
        bof_ = true;
    PositionChanged();
}

bool TAdsTable::Eof()
{
    if (file_)
        SettlePosition();
    return eof_;
}

bool TAdsTable::Bof()
{
    if (file_)
        SettlePosition();
    return bof_;
}

bool TAdsTable::IsEmpty()
{
    if (file_ && state_ != TDataSetState::Insert)
        SettlePosition();
    return state_ != TDataSetState::Insert && (!cursor_ || !cursor_->HasRow());
}

int TAdsTable::RecordCount()
{
    RequireActive();
    return static_cast<int>(cursor_->Count());
}

TAdsTable::RecordCounting::RecordCounting() = default;
TAdsTable::RecordCounting::RecordCounting(RecordCounting&&) noexcept = default;
TAdsTable::RecordCounting& TAdsTable::RecordCounting::operator=(RecordCounting&&) noexcept = default;
TAdsTable::RecordCounting::~RecordCounting() = default;

bool TAdsTable::RecordCounting::Ready() { return count_ >= 0 || (pending_ && pending_->Ready()); }

int TAdsTable::RecordCounting::Count()
{
    if (count_ < 0 && pending_)
        count_ = static_cast<int>(pending_->Wait());
    return count_;
}

TAdsTable::RecordCounting TAdsTable::StartRecordCount()
{
    RequireActive();
    RecordCounting counting;
    counting.pending_ = cursor_->CountBeside();
    if (!counting.pending_)
        counting.count_ = RecordCount();
    return counting;
}

Bookmark TAdsTable::GetBookmark()
{
    if (file_ && state_ != TDataSetState::Insert)
        SettlePosition();
    if (!cursor_ || !cursor_->HasRow())
        return {};
    return Bookmark{cursor_->Rowid()};
}

void TAdsTable::GotoBookmark(Bookmark bookmark)
{
    RequireActive();
    CheckBrowseMode();
    firstPending_ = false;
    if (!bookmark.Valid() || !cursor_->GotoRow(bookmark.rowId))
        Fail("Datensatz nicht gefunden (Lesezeichen)");
    eof_ = bof_ = false;
    PositionChanged();
}

bool TAdsTable::BookmarkValid(Bookmark bookmark)
{
    if (!file_ || !bookmark.Valid())
        return false;
    sql::Query& st =
        file_->Statement("SELECT 1 FROM " + file_->QuotedTable() + " WHERE " + file_->RowidName() + " = ?");
    sql::ResetOnExit reset(st);
    st.BindInt(1, bookmark.rowId);
    return st.Step();
}

// --- fields ----------------------------------------------------------------------------------------

Field& TAdsTable::Fields(int index)
{
    RequireActive();
    if (index < 0 || index >= FieldCount())
        Fail("Feldnummer außerhalb des Bereichs: " + std::to_string(index));
    return *fields_[static_cast<size_t>(index)];
}

Field& TAdsTable::FieldByName(std::string_view name)
{
    RequireActive();
    const int i = file_->FindField(name);
    if (i < 0)
        Fail("Spalte nicht gefunden: " + std::string(name), std::string(name));
    return *fields_[static_cast<size_t>(i)];
}

Field* TAdsTable::FindField(std::string_view name)
{
    if (!file_)
        return nullptr;
    const int i = file_->FindField(name);
    return i < 0 ? nullptr : fields_[static_cast<size_t>(i)].get();
}

ValueRef TAdsTable::FieldValue(int index)
{
    const size_t i = static_cast<size_t>(index);
    if (state_ == TDataSetState::Insert || (state_ == TDataSetState::Edit && editChanged_[i]))
        return editValues_[i].Ref();
    if (!cursor_)
        return {};
    SettlePosition();
    if (!cursor_->HasRow())
        return {};
    if (!cursor_->Carries(index))
        return BlobValue(index); // read on demand
    return cursor_->Value(index);
}

ValueRef TAdsTable::BlobValue(int index)
{
    BlobSlot& slot = blobs_[static_cast<size_t>(index)];
    if (slot.epoch != blobEpoch_) {
        slot.value.kind = StorageKind::Null;
        slot.value.s.clear(); // keeps the slot's storage for the next row
        sql::Query& st = file_->BlobStatement(index);
        sql::ResetOnExit reset(st);
        st.BindInt(1, cursor_->Rowid());
        if (st.Step()) {
            const ValueRef v = st.Column(0);
            slot.value.kind = v.kind;
            slot.value.i = v.i;
            slot.value.d = v.d;
            slot.value.s.assign(v.s.data(), v.s.size());
        }
        slot.epoch = blobEpoch_;
    }
    return slot.value.Ref();
}

void TAdsTable::SetFieldValue(int index, DbValue value)
{
    RequireActive();
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert)
        Fail("Tabelle ist nicht im Bearbeitungsmodus");
    const size_t i = static_cast<size_t>(index);
    if (file_->Fields()[i].type == TAdsFieldType::AutoInc)
        Fail("Feld " + file_->Fields()[i].name + " wird automatisch vergeben und kann nicht geschrieben werden",
             file_->Fields()[i].name);
    DbValue& slot = editValues_[i];
    slot.kind = value.kind;
    slot.i = value.i;
    slot.d = value.d;
    slot.s.swap(value.s); // the old text's storage goes with the argument
    editChanged_[i] = 1;
    modified_ = true;
}

// --- changing rows ---------------------------------------------------------------------------------

void TAdsTable::ClearEditBuffer()
{
    // Keeps the buffers' storage for the next row (bulk writers append many).
    editValues_.resize(fields_.size());
    for (DbValue& v : editValues_) {
        v.kind = StorageKind::Null;
        v.s.clear();
    }
    editChanged_.assign(fields_.size(), 0);
}

void TAdsTable::Edit()
{
    RequireActive();
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert)
        return;
    SettlePosition();
    if (!cursor_->HasRow()) {
        Insert();
        return;
    }
    ClearEditBuffer();
    state_ = TDataSetState::Edit;
    modified_ = false;
}

void TAdsTable::Insert()
{
    RequireActive();
    CheckBrowseMode();
    SettlePosition();
    ClearEditBuffer();
    savedEof_ = eof_;
    savedBof_ = bof_;
    state_ = TDataSetState::Insert;
    modified_ = false;
}

void TAdsTable::Append() { Insert(); }

void TAdsTable::Post()
{
    RequireActive();
    if (state_ == TDataSetState::Edit)
        PostEdit();
    else if (state_ == TDataSetState::Insert)
        PostInsert();
}

void TAdsTable::PostEdit()
{
    std::string setList;
    std::vector<size_t> changed;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (!editChanged_[i])
            continue;
        if (!changed.empty())
            setList += ", ";
        setList += sql::Quote(file_->Fields()[i].name) + " = ?";
        changed.push_back(i);
    }
    if (!changed.empty()) {
        ads::TableStore::WriteScope scope(*file_);
        sql::Query& st = file_->Statement("UPDATE " + file_->QuotedTable() + " SET " + setList + " WHERE " +
                                              file_->RowidName() + " = ?");
        std::int64_t changes = 0;
        {
            sql::ResetOnExit reset(st);
            int p = 1;
            for (size_t i : changed)
                st.Bind(p++, editValues_[i].Ref());
            st.BindInt(p, cursor_->Rowid());
            st.Step("Datensatz kann nicht gespeichert werden");
            changes = st.Changes();
        }
        if (changes == 0)
            Fail("Datensatz kann nicht gespeichert werden: er wurde inzwischen gelöscht");
        scope.Commit();
    }
    state_ = TDataSetState::Browse;
    modified_ = false;
    if (!changed.empty())
        cursor_->ReloadCurrent();
    PositionChanged();
}

void TAdsTable::PostInsert()
{
    const auto& infos = file_->Fields();
    std::int64_t rowid = 0;
    try {
        ads::TableStore::WriteScope scope(*file_);
        std::vector<std::pair<int, std::int64_t>> autoIncs;
        for (size_t i = 0; i < infos.size(); ++i) {
            if (infos[i].type == TAdsFieldType::AutoInc) {
                const std::int64_t v = file_->NextAutoInc(static_cast<int>(i));
                editValues_[i] = DbValue::Integer(v);
                autoIncs.emplace_back(static_cast<int>(i), v);
            }
        }
        for (const auto& [field, value] : autoIncs)
            file_->StoreAutoInc(field, value);
        sql::Query& st = file_->InsertStatement();
        {
            sql::ResetOnExit reset(st);
            for (size_t i = 0; i < infos.size(); ++i)
                st.Bind(static_cast<int>(i) + 1, editValues_[i].Ref());
            st.Step("Datensatz kann nicht gespeichert werden");
            rowid = st.InsertedRowid();
        }
        scope.Commit();
    } catch (...) {
        for (size_t i = 0; i < infos.size(); ++i) {
            if (infos[i].type == TAdsFieldType::AutoInc)
                editValues_[i] = DbValue{};
        }
        throw;
    }
    // The stored values are the bound ones (the setters produce each type's storage form).
    cursor_->PlaceRow(rowid, editValues_);
    eof_ = bof_ = false;
    state_ = TDataSetState::Browse;
    modified_ = false;
    PositionChanged();
}

void TAdsTable::Cancel()
{
    RequireActive();
    if (state_ == TDataSetState::Insert) {
        eof_ = savedEof_;
        bof_ = savedBof_;
    }
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
        state_ = TDataSetState::Browse;
        modified_ = false;
        PositionChanged();
    }
}

void TAdsTable::Delete()
{
    RequireActive();
    if (state_ == TDataSetState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    SettlePosition();
    if (!cursor_->HasRow())
        Fail("Keine Datensätze vorhanden: Löschen nicht möglich");
    {
        ads::TableStore::WriteScope scope(*file_);
        sql::Query& st = file_->DeleteStatement();
        {
            sql::ResetOnExit reset(st);
            st.BindInt(1, cursor_->Rowid());
            st.Step("Datensatz kann nicht gelöscht werden");
        }
        scope.Commit();
    }
    const bool has = cursor_->AfterDelete();
    eof_ = bof_ = !has;
    PositionChanged();
}

// --- refresh and seek ------------------------------------------------------------------------------

void TAdsTable::RefreshRecord()
{
    RequireActive();
    CheckBrowseMode();
    SettlePosition();
    if (!cursor_->HasRow())
        return;
    if (cursor_->CompleteWindow() || file_->CurrentStamp() == cursor_->RowStamp())
        return; // read from the snapshot that still holds, or nothing was committed since
    if (!cursor_->ReloadCurrent())
        Fail("Datensatz wurde inzwischen gelöscht");
    PositionChanged();
}

TAdsTable::ReadScope::ReadScope(TAdsTable& table) : file_(table.file_)
{
    if (file_)
        file_->BeginReadScope();
}

TAdsTable::ReadScope::~ReadScope()
{
    if (file_)
        file_->EndReadScope();
}

DbValue TAdsTable::KeyFromText(std::string_view key, int field) const
{
    const ads::FieldInfo& f = file_->Fields()[static_cast<size_t>(field)];
    const std::string t = Trim(key);
    auto bad = [&]() -> DbValue {
        Fail("Ungültiger Suchschlüssel \"" + std::string(key) + "\" für Index " + indexName_, f.name);
    };
    switch (f.type) {
    case TAdsFieldType::ShortInt:
    case TAdsFieldType::Integer:
    case TAdsFieldType::AutoInc:
    case TAdsFieldType::Double:
    case TAdsFieldType::Logical: {
        long long i = 0;
        if (TryParseInt64(t, i))
            return DbValue::Integer(i);
        std::string n = t;
        if (n.find('.') == std::string::npos) {
            for (char& c : n) {
                if (c == ',')
                    c = '.';
            }
        }
        double d = 0;
        auto r = std::from_chars(n.data(), n.data() + n.size(), d);
        if (n.empty() || r.ec != std::errc() || r.ptr != n.data() + n.size() || !std::isfinite(d))
            return bad();
        return DbValue::Real(d);
    }
    case TAdsFieldType::Date:
    case TAdsFieldType::Timestamp: {
        TDateTime d = 0;
        if (!TryTextToDate(t, d) && !IsoToDateTime(t, d))
            return bad();
        return DbValue::Text(f.type == TAdsFieldType::Date ? DateToIso(d) : TimestampToIso(d));
    }
    default: return DbValue::Text(std::string(key));
    }
}

bool TAdsTable::SeekKey(std::string_view key, bool exact)
{
    RequireActive();
    CheckBrowseMode();
    const int field = cursor_->Order().keyField;
    if (field < 0)
        Fail("Suchen nicht möglich: kein Index gewählt");
    const DbValue k = KeyFromText(key, field);
    firstPending_ = false;
    const bool has = cursor_->Seek(k);
    PositionChanged();
    const bool found = has && CompareValues(cursor_->Value(field), k.Ref()) == 0;
    if (found || (has && !exact)) {
        eof_ = bof_ = false;
        return found;
    }
    // Nothing at or after the key: past the end, on the last row.
    const bool any = cursor_->Last();
    eof_ = true;
    bof_ = !any;
    return false;
}

// --- bulk loading ----------------------------------------------------------------------------------

void TAdsTable::BeginBulkLoad()
{
    RequireActive();
    CheckBrowseMode();
    file_->BeginBulkLoad();
}

void TAdsTable::EndBulkLoad()
{
    RequireActive();
    CheckBrowseMode();
    file_->EndBulkLoad();
}

// --- table files -----------------------------------------------------------------------------------

bool TAdsTable::TableExists() const
{
    return Active() || (connection_ && connection_->TableExists(tableName_));
}

void TAdsTable::CreateTable(const std::vector<AdsFieldDef>& fields, const std::vector<AdsIndexDef>& indexes,
                            TAdsCharType)
{
    if (!connection_ || !connection_->IsConnected())
        Fail("Keine Verbindung zur Datenbank");
    if (Active())
        Fail("Tabelle ist geöffnet und kann nicht angelegt werden");
    if (tableName_.empty())
        throw AdsError("Tabelle anlegen: kein Tabellenname angegeben", {});
    connection_->CreateTable(tableName_, fields, indexes);
}

void TAdsTable::AddIndex(const std::string& tag, const std::string& expression, int options)
{
    RequireActive();
    CheckBrowseMode();
    file_->AddIndex(AdsIndexDef{tag, expression, options});
}

void TAdsTable::DeleteTable()
{
    Close();
    if (!connection_)
        Fail("Keine Verbindung zur Datenbank");
    connection_->DeleteTable(tableName_);
}

std::vector<AdsIndexDef> TAdsTable::IndexDefs() const
{
    std::vector<AdsIndexDef> r;
    if (file_) {
        for (const ads::IndexTag& t : file_->Tags())
            r.push_back(AdsIndexDef{t.tag, t.expression, t.options});
    }
    return r;
}

} // namespace gs
