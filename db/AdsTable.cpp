#include "db/AdsTable.h"

#include "base/Dates.h"
#include "base/Text.h"
#include "db/AdsConnection.h"
#include "db/AdsCursor.h"
#include "db/AdsError.h"
#include "db/AdsTableFile.h"

#include <sqlite3.h>

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
    closeNoThrow();
    if (connection_)
        connection_->UnregisterTable(this);
}

void TAdsTable::Fail(const std::string& text, const std::string& column) const
{
    throw AdsError(text, tableName_, column);
}

void TAdsTable::requireActive() const
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
        closeNoThrow();
        return;
    }
    if (file_)
        return;
    if (tableName_.empty())
        throw AdsError("Tabelle öffnen: kein Tabellenname angegeben", {});
    if (!connection_)
        Fail("Keine Verbindung zur Datenbank");
    file_ = connection_->AcquireFile(tableName_);
    try {
        cursor_ = std::make_unique<ads::Cursor>(*file_);
        const auto& infos = file_->fields();
        fields_.clear();
        fields_.reserve(infos.size());
        for (size_t i = 0; i < infos.size(); ++i)
            fields_.push_back(std::make_unique<TField>(*this, static_cast<int>(i), infos[i].name, infos[i].type,
                                                       infos[i].size));
        blobs_.assign(infos.size(), BlobSlot{});
        applyOrderAndFilter(indexName_, filter_, filtered_);
        static std::uint64_t openings = 0;
        openId_ = ++openings;
        state_ = TDataSetState::Browse;
        First();
    } catch (...) {
        closeNoThrow();
        throw;
    }
}

void TAdsTable::closeNoThrow() noexcept
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
}

void TAdsTable::applyOrderAndFilter(const std::string& indexName, const std::string& filter, bool filtered)
{
    ads::WalkOrder order;
    if (!Trim(indexName).empty()) {
        const ads::IndexTag* tag = file_->findTag(Trim(indexName));
        if (!tag)
            Fail("Index nicht gefunden: " + indexName);
        if (tag->field < 0)
            Fail("Indexausdruck wird nicht unterstützt: " + tag->expression);
        order.keyField = tag->field;
        order.descending = (tag->options & ADS_DESCENDING) != 0;
    }
    ads::Filter parsed;
    if (filtered)
        parsed = ads::Filter::Parse(filter, file_->fields(), tableName_);
    cursor_->configure(order, parsed);
}

void TAdsTable::SetIndexName(const std::string& tag)
{
    if (Active()) {
        checkBrowseMode();
        applyOrderAndFilter(tag, filter_, filtered_);
        indexName_ = tag;
        First();
    } else {
        indexName_ = tag;
    }
}

void TAdsTable::SetFilter(const std::string& filter)
{
    if (Active() && filtered_) {
        checkBrowseMode();
        applyOrderAndFilter(indexName_, filter, true);
        filter_ = filter;
        First();
    } else {
        filter_ = filter;
    }
}

void TAdsTable::SetFiltered(bool on)
{
    if (Active() && on != filtered_) {
        checkBrowseMode();
        applyOrderAndFilter(indexName_, filter_, on);
        filtered_ = on;
        First();
    } else {
        filtered_ = on;
    }
}

// --- navigation ------------------------------------------------------------------------------------

void TAdsTable::checkBrowseMode()
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
    requireActive();
    checkBrowseMode();
    const bool has = cursor_->first();
    bof_ = true;
    eof_ = !has;
    positionChanged();
}

void TAdsTable::Last()
{
    requireActive();
    checkBrowseMode();
    const bool has = cursor_->last();
    eof_ = true;
    bof_ = !has;
    positionChanged();
}

void TAdsTable::Next()
{
    requireActive();
    checkBrowseMode();
    if (eof_)
        return;
    bof_ = false;
    if (!cursor_->next())
        eof_ = true;
    positionChanged();
}

void TAdsTable::Prior()
{
    requireActive();
    checkBrowseMode();
    if (bof_)
        return;
    eof_ = false;
    if (!cursor_->prior())
        bof_ = true;
    positionChanged();
}

bool TAdsTable::IsEmpty() const
{
    return state_ != TDataSetState::Insert && (!cursor_ || !cursor_->hasRow());
}

int TAdsTable::RecordCount()
{
    requireActive();
    return static_cast<int>(cursor_->count());
}

TBookmark TAdsTable::GetBookmark() const
{
    if (!cursor_ || !cursor_->hasRow())
        return {};
    return TBookmark{cursor_->rowid()};
}

void TAdsTable::GotoBookmark(TBookmark bookmark)
{
    requireActive();
    checkBrowseMode();
    if (!bookmark.valid() || !cursor_->gotoRow(bookmark.rowId))
        Fail("Datensatz nicht gefunden (Lesezeichen)");
    eof_ = bof_ = false;
    positionChanged();
}

bool TAdsTable::BookmarkValid(TBookmark bookmark)
{
    if (!file_ || !bookmark.valid())
        return false;
    sql::Statement& st =
        file_->statement("SELECT 1 FROM " + file_->quotedTable() + " WHERE " + file_->rowidName() + " = ?");
    sql::ResetOnExit reset(st);
    st.bindInt(1, bookmark.rowId);
    return st.step();
}

// --- fields ----------------------------------------------------------------------------------------

TField& TAdsTable::Fields(int index)
{
    requireActive();
    if (index < 0 || index >= FieldCount())
        Fail("Feldnummer außerhalb des Bereichs: " + std::to_string(index));
    return *fields_[static_cast<size_t>(index)];
}

TField& TAdsTable::FieldByName(std::string_view name)
{
    requireActive();
    const int i = file_->findField(name);
    if (i < 0)
        Fail("Spalte nicht gefunden: " + std::string(name), std::string(name));
    return *fields_[static_cast<size_t>(i)];
}

TField* TAdsTable::FindField(std::string_view name)
{
    if (!file_)
        return nullptr;
    const int i = file_->findField(name);
    return i < 0 ? nullptr : fields_[static_cast<size_t>(i)].get();
}

ValueRef TAdsTable::FieldValue(int index)
{
    const size_t i = static_cast<size_t>(index);
    if (state_ == TDataSetState::Insert || (state_ == TDataSetState::Edit && editChanged_[i]))
        return editValues_[i].ref();
    if (!cursor_ || !cursor_->hasRow())
        return {};
    if (file_->fields()[i].blob)
        return blobValue(index);
    return cursor_->value(index);
}

ValueRef TAdsTable::blobValue(int index)
{
    BlobSlot& slot = blobs_[static_cast<size_t>(index)];
    if (slot.epoch != blobEpoch_) {
        slot.value.kind = StorageKind::Null;
        slot.value.s.clear(); // keeps the slot's storage for the next row
        sql::Statement& st = file_->blobStatement(index);
        sql::ResetOnExit reset(st);
        st.bindInt(1, cursor_->rowid());
        if (st.step()) {
            const ValueRef v = st.column(0);
            slot.value.kind = v.kind;
            slot.value.i = v.i;
            slot.value.d = v.d;
            slot.value.s.assign(v.s.data(), v.s.size());
        }
        slot.epoch = blobEpoch_;
    }
    return slot.value.ref();
}

void TAdsTable::SetFieldValue(int index, DbValue value)
{
    requireActive();
    if (state_ != TDataSetState::Edit && state_ != TDataSetState::Insert)
        Fail("Tabelle ist nicht im Bearbeitungsmodus");
    const size_t i = static_cast<size_t>(index);
    if (file_->fields()[i].type == TAdsFieldType::AutoInc)
        Fail("Feld " + file_->fields()[i].name + " wird automatisch vergeben und kann nicht geschrieben werden",
             file_->fields()[i].name);
    DbValue& slot = editValues_[i];
    slot.kind = value.kind;
    slot.i = value.i;
    slot.d = value.d;
    slot.s.swap(value.s); // the old text's storage goes with the argument
    editChanged_[i] = 1;
    modified_ = true;
}

// --- changing rows ---------------------------------------------------------------------------------

void TAdsTable::clearEditBuffer()
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
    requireActive();
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert)
        return;
    if (!cursor_->hasRow()) {
        Insert();
        return;
    }
    clearEditBuffer();
    state_ = TDataSetState::Edit;
    modified_ = false;
}

void TAdsTable::Insert()
{
    requireActive();
    checkBrowseMode();
    clearEditBuffer();
    savedEof_ = eof_;
    savedBof_ = bof_;
    state_ = TDataSetState::Insert;
    modified_ = false;
}

void TAdsTable::Append() { Insert(); }

void TAdsTable::Post()
{
    requireActive();
    if (state_ == TDataSetState::Edit)
        postEdit();
    else if (state_ == TDataSetState::Insert)
        postInsert();
}

void TAdsTable::postEdit()
{
    std::string setList;
    std::vector<size_t> changed;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (!editChanged_[i])
            continue;
        if (!changed.empty())
            setList += ", ";
        setList += sql::Quote(file_->fields()[i].name) + " = ?";
        changed.push_back(i);
    }
    if (!changed.empty()) {
        ads::TableFile::WriteScope scope(*file_);
        sql::Statement& st = file_->statement("UPDATE " + file_->quotedTable() + " SET " + setList + " WHERE " +
                                              file_->rowidName() + " = ?");
        {
            sql::ResetOnExit reset(st);
            int p = 1;
            for (size_t i : changed)
                st.bind(p++, editValues_[i].ref());
            st.bindInt(p, cursor_->rowid());
            st.step("Datensatz kann nicht gespeichert werden");
        }
        if (sqlite3_changes(file_->db()) == 0)
            Fail("Datensatz kann nicht gespeichert werden: er wurde inzwischen gelöscht");
        scope.commit();
    }
    state_ = TDataSetState::Browse;
    modified_ = false;
    if (!changed.empty())
        cursor_->reloadCurrent();
    positionChanged();
}

void TAdsTable::postInsert()
{
    const auto& infos = file_->fields();
    std::int64_t rowid = 0;
    try {
        ads::TableFile::WriteScope scope(*file_);
        std::vector<std::pair<int, std::int64_t>> autoIncs;
        for (size_t i = 0; i < infos.size(); ++i) {
            if (infos[i].type == TAdsFieldType::AutoInc) {
                const std::int64_t v = file_->nextAutoInc(static_cast<int>(i));
                editValues_[i] = DbValue::Integer(v);
                autoIncs.emplace_back(static_cast<int>(i), v);
            }
        }
        for (const auto& [field, value] : autoIncs)
            file_->storeAutoInc(field, value);
        sql::Statement& st = file_->insertStatement();
        {
            sql::ResetOnExit reset(st);
            for (size_t i = 0; i < infos.size(); ++i)
                st.bind(static_cast<int>(i) + 1, editValues_[i].ref());
            st.step("Datensatz kann nicht gespeichert werden");
        }
        rowid = sqlite3_last_insert_rowid(file_->db());
        scope.commit();
    } catch (...) {
        for (size_t i = 0; i < infos.size(); ++i) {
            if (infos[i].type == TAdsFieldType::AutoInc)
                editValues_[i] = DbValue{};
        }
        throw;
    }
    // The stored values are the bound ones (the setters produce each type's storage form).
    cursor_->placeRow(rowid, editValues_);
    eof_ = bof_ = false;
    state_ = TDataSetState::Browse;
    modified_ = false;
    positionChanged();
}

void TAdsTable::Cancel()
{
    requireActive();
    if (state_ == TDataSetState::Insert) {
        eof_ = savedEof_;
        bof_ = savedBof_;
    }
    if (state_ == TDataSetState::Edit || state_ == TDataSetState::Insert) {
        state_ = TDataSetState::Browse;
        modified_ = false;
        positionChanged();
    }
}

void TAdsTable::Delete()
{
    requireActive();
    if (state_ == TDataSetState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (!cursor_->hasRow())
        Fail("Keine Datensätze vorhanden: Löschen nicht möglich");
    {
        ads::TableFile::WriteScope scope(*file_);
        sql::Statement& st = file_->deleteStatement();
        {
            sql::ResetOnExit reset(st);
            st.bindInt(1, cursor_->rowid());
            st.step("Datensatz kann nicht gelöscht werden");
        }
        scope.commit();
    }
    const bool has = cursor_->afterDelete();
    eof_ = bof_ = !has;
    positionChanged();
}

// --- refresh and seek ------------------------------------------------------------------------------

void TAdsTable::RefreshRecord()
{
    requireActive();
    checkBrowseMode();
    if (!cursor_->hasRow())
        return;
    if (file_->stamp() == cursor_->rowStamp())
        return; // nothing was committed since the row was read
    if (!cursor_->reloadCurrent())
        Fail("Datensatz wurde inzwischen gelöscht");
    positionChanged();
}

TAdsTable::ReadScope::ReadScope(TAdsTable& table) : file_(table.file_)
{
    if (file_)
        file_->beginReadScope();
}

TAdsTable::ReadScope::~ReadScope()
{
    if (file_)
        file_->endReadScope();
}

void TAdsTable::PrefetchBlobs(const std::vector<TField*>& fields)
{
    requireActive();
    if (!cursor_->hasRow() || state_ == TDataSetState::Insert)
        return;
    std::vector<int>& wanted = prefetch_;
    wanted.clear();
    for (const TField* f : fields) {
        if (f == nullptr || &f->Table() != this || !f->IsBlob())
            continue;
        const size_t i = static_cast<size_t>(f->Index());
        if (blobs_[i].epoch != blobEpoch_ && std::find(wanted.begin(), wanted.end(), f->Index()) == wanted.end())
            wanted.push_back(f->Index());
    }
    if (wanted.size() < 2) {
        if (!wanted.empty())
            blobValue(wanted.front());
        return;
    }
    sql::Statement& st = file_->blobsStatement(wanted);
    sql::ResetOnExit reset(st);
    st.bindInt(1, cursor_->rowid());
    const bool found = st.step();
    for (size_t k = 0; k < wanted.size(); ++k) {
        BlobSlot& slot = blobs_[static_cast<size_t>(wanted[k])];
        if (found) {
            const ValueRef v = st.column(static_cast<int>(k));
            slot.value.kind = v.kind;
            slot.value.i = v.i;
            slot.value.d = v.d;
            slot.value.s.assign(v.s.data(), v.s.size()); // keeps the slot's storage
        } else {
            slot.value = DbValue{};
        }
        slot.epoch = blobEpoch_;
    }
}

DbValue TAdsTable::keyFromText(std::string_view key, int field) const
{
    const ads::FieldInfo& f = file_->fields()[static_cast<size_t>(field)];
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
    requireActive();
    checkBrowseMode();
    const int field = cursor_->order().keyField;
    if (field < 0)
        Fail("Suchen nicht möglich: kein Index gewählt");
    const DbValue k = keyFromText(key, field);
    const bool has = cursor_->seek(k);
    positionChanged();
    const bool found = has && CompareValues(cursor_->value(field), k.ref()) == 0;
    if (found || (has && !exact)) {
        eof_ = bof_ = false;
        return found;
    }
    // Nothing at or after the key: past the end, on the last row.
    const bool any = cursor_->last();
    eof_ = true;
    bof_ = !any;
    return false;
}

// --- bulk loading ----------------------------------------------------------------------------------

void TAdsTable::BeginBulkLoad()
{
    requireActive();
    checkBrowseMode();
    file_->beginBulkLoad();
}

void TAdsTable::EndBulkLoad()
{
    requireActive();
    checkBrowseMode();
    file_->endBulkLoad();
}

// --- table files -----------------------------------------------------------------------------------

bool TAdsTable::TableExists() const
{
    return Active() || (connection_ && connection_->TableExists(tableName_));
}

void TAdsTable::CreateTable(const std::vector<TAdsFieldDef>& fields, const std::vector<TAdsIndexDef>& indexes,
                            TAdsCharType)
{
    if (!connection_ || !connection_->IsConnected())
        Fail("Keine Verbindung zur Datenbank");
    if (Active())
        Fail("Tabelle ist geöffnet und kann nicht angelegt werden");
    if (tableName_.empty())
        throw AdsError("Tabelle anlegen: kein Tabellenname angegeben", {});
    ads::TableFile::Create(connection_->TablePath(tableName_), fields, indexes);
}

void TAdsTable::AddIndex(const std::string& tag, const std::string& expression, int options)
{
    requireActive();
    checkBrowseMode();
    file_->addIndex(TAdsIndexDef{tag, expression, options});
}

void TAdsTable::DeleteTable()
{
    Close();
    if (!connection_)
        Fail("Keine Verbindung zur Datenbank");
    connection_->DeleteTable(tableName_);
}

std::vector<TAdsIndexDef> TAdsTable::IndexDefs() const
{
    std::vector<TAdsIndexDef> r;
    if (file_) {
        for (const ads::IndexTag& t : file_->tags())
            r.push_back(TAdsIndexDef{t.tag, t.expression, t.options});
    }
    return r;
}

} // namespace gs
