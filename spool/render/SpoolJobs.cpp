#include "spool/render/SpoolJobs.h"

#include "base/Cp1252.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "spool/SpoolTables.h"

#include <algorithm>

namespace gs {

namespace {

std::string Unquoted(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        return s.substr(1, s.size() - 2);
    return s;
}

// The rows of one job, walked from the highest id down.
class DetailRowSource : public ListRowSource {
public:
    DetailRowSource(TAdsTable& table, std::int64_t job, int columns, const std::atomic<bool>* stop)
        : table_(table), stop_(stop)
    {
        table_.SetIndexName("ID");
        table_.SetFilter("idmain=" + std::to_string(job));
        table_.SetFiltered(true);
        count_ = table_.RecordCount();
        for (int k = 1; k <= columns; ++k)
            cells_.push_back(&table_.FieldByName("d" + std::to_string(k)));
    }
    ~DetailRowSource() override
    {
        try {
            table_.SetFiltered(false);
            table_.SetFilter({});
        } catch (...) {
            // The table is closed with the reader anyway.
        }
    }
    long long RowCount() override { return count_; }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (stop_ && stop_->load())
            throw JobStopped();
        if (given_ >= count_)
            return false;
        if (given_ == 0) {
            table_.Last();
        } else {
            table_.Prior();
            if (table_.Bof())
                return false;
        }
        ++given_;
        for (Field* f : cells_)
            cells.push_back(f->AsString());
        return true;
    }

private:
    TAdsTable& table_;
    const std::atomic<bool>* stop_;
    std::vector<Field*> cells_;
    long long count_ = 0;
    long long given_ = 0;
};

} // namespace

SpoolJobs::SpoolJobs() = default;
SpoolJobs::~SpoolJobs() { Close(); }

bool SpoolJobs::Open(const std::filesystem::path& spoolDir)
{
    Close();
    auto connection = std::make_unique<TAdsConnection>();
    connection->SetAdsServerTypes({stADS_LOCAL});
    connection->SetConnectPath(spoolDir.string());
    if (!std::filesystem::is_directory(spoolDir) || !connection->TableExists(SpoolTableName) ||
        !connection->TableExists(DetailTableName))
        return false;
    connection->Connect();
    auto spool = std::make_unique<TAdsTable>(connection.get(), SpoolTableName);
    auto detail = std::make_unique<TAdsTable>(connection.get(), DetailTableName);
    spool->SetIndexName("ID");
    spool->Open();
    // Opened for writing like the job table: a read-only opening is made for the host's tables,
    // which other programs do not change during a run, and would not see the rows of a job
    // spooled after it was opened.
    detail->Open();
    store_.Open(spoolDir);
    dir_ = spoolDir;
    connection_ = std::move(connection);
    spool_ = std::move(spool);
    detail_ = std::move(detail);
    return true;
}

void SpoolJobs::Close() noexcept
{
    store_.Close();
    try {
        if (spool_)
            spool_->Close();
        if (detail_)
            detail_->Close();
        if (connection_)
            connection_->Disconnect();
    } catch (...) {
        // Nothing to repair when closing.
    }
    spool_.reset();
    detail_.reset();
    connection_.reset();
}

bool SpoolJobs::IsOpen() const { return spool_ && detail_ && spool_->Active() && detail_->Active(); }

std::vector<std::int64_t> SpoolJobs::WaitingJobs(int prio, bool isMail)
{
    std::vector<std::int64_t> ids;
    spool_->SetFilter("PRIO=" + std::to_string(prio) + " AND ISMAIL=" + (isMail ? "1" : "0"));
    spool_->SetFiltered(true);
    try {
        Field& id = spool_->FieldByName("ID");
        for (spool_->First(); !spool_->Eof(); spool_->Next())
            ids.push_back(id.AsLargeInt());
    } catch (...) {
        spool_->SetFiltered(false);
        throw;
    }
    spool_->SetFiltered(false);
    std::sort(ids.begin(), ids.end());
    return ids;
}

SpoolJob SpoolJobs::ReadJob(std::int64_t id)
{
    spool_->SetFilter("ID=" + std::to_string(id));
    spool_->SetFiltered(true);
    SpoolJob job;
    try {
        if (spool_->IsEmpty())
            throw Error("Der Auftrag " + std::to_string(id) + " ist nicht mehr im Spooler.");
        auto text = [&](const char* name) { return spool_->FieldByName(name).AsString(); };
        auto number = [&](const char* name) { return spool_->FieldByName(name).AsInteger(); };
        auto flag = [&](const char* name) { return spool_->FieldByName(name).AsBoolean(); };
        job.id = id;
        job.prio = number("PRIO");
        job.isMail = flag("ISMAIL");
        job.dataGrid = flag("DataGrid");
        job.mailType = text("MAILTYPE");
        job.printerName = Unquoted(text("PRINTERNAME"));
        job.printerBin = Unquoted(text("PRINTERBIN1"));
        job.copies = std::max(1, number("COPIES"));
        int duplex = 0;
        if (!TryParseInt32(Trim(text("RTPID")), duplex) || duplex < 0 || duplex > 2)
            duplex = 0; // an unknown mode prints one-sided, as the printer selection shows it
        job.duplex = duplex;
        job.printName = text("PrintName");
        job.idOrder = spool_->FieldByName("ID_ORDER").AsLargeInt();
        job.x5 = text("X5");
        job.subPath = text("SubPath");
        if (job.isMail)
            job.pdfPath = spool_->FieldByName("DESTADRESS").AsBytes();
        job.list.landscape = flag("LANDSCAPE");
        // The stored rich text, from the code page the spool keeps it in.
        if (flag("Header"))
            job.list.title = Cp1252ToUtf8(spool_->FieldByName("HTEXT").AsBytes());
        if (flag("Footer"))
            job.list.footer = Cp1252ToUtf8(spool_->FieldByName("FTEXT").AsBytes());
        // The printed columns are numbered from 1 without gaps; the first without caption and
        // width ends them.
        for (int k = 1; k <= SpoolMaxColumns; ++k) {
            const std::string n = std::to_string(k);
            GridColumn c;
            c.title = spool_->FieldByName("h" + n).AsString();
            c.width = spool_->FieldByName("hw" + n).AsInteger();
            if (c.width <= 0 && c.title.empty())
                break;
            // A column the spooler wrote is printed, whatever width it had.
            c.width = std::max(c.width, 1);
            c.titleAlignment = spool_->FieldByName("aligh" + n).AsInteger();
            c.cellAlignment = spool_->FieldByName("aligd" + n).AsInteger();
            job.list.grid.columns.push_back(std::move(c));
        }
    } catch (...) {
        spool_->SetFiltered(false);
        throw;
    }
    spool_->SetFiltered(false);
    return job;
}

std::unique_ptr<ListRowSource> SpoolJobs::DetailRows(std::int64_t id, int columns, const std::atomic<bool>* stop)
{
    return std::make_unique<DetailRowSource>(*detail_, id, columns, stop);
}

std::int64_t SpoolJobs::DetailCount(std::int64_t id)
{
    detail_->SetFilter("idmain=" + std::to_string(id));
    detail_->SetFiltered(true);
    std::int64_t n = 0;
    try {
        n = detail_->RecordCount();
    } catch (...) {
        detail_->SetFiltered(false);
        throw;
    }
    detail_->SetFiltered(false);
    detail_->SetFilter({});
    return n;
}

std::vector<std::int64_t> SpoolJobs::AllJobs()
{
    std::vector<std::int64_t> ids;
    spool_->SetFilter({});
    spool_->SetFiltered(false);
    Field& id = spool_->FieldByName("ID");
    for (spool_->First(); !spool_->Eof(); spool_->Next())
        ids.push_back(id.AsLargeInt());
    std::sort(ids.begin(), ids.end());
    return ids;
}

void SpoolJobs::DeleteJob(std::int64_t id) { store_.DeleteJob(id); }

void SpoolJobs::HoldJob(std::int64_t id, int heldPrio) { store_.UpdateJob(id, {{"PRIO", std::int64_t{heldPrio}}}); }

} // namespace gs
