// The list renderer and the PDF processor on lists of 1,000 / 10,000 / 100,000 rows: seconds (wall
// clock and the child's processor time, the steadier figure on a shared machine) and peak memory
// (VmHWM) of each, every measurement in a child process of its own so that its peak is
// its own. Beside them the peak of a child that only starts the GUI classes and reads a font, the
// floor under every line.
//   - renderer: rows made on the fly (nothing held), drawn into a PDF/A-1b file;
//   - plainest: the plainest program that does the same work beside it: a QPdfWriter, each page's
//     captions and each row's cells drawn with QPainter::drawText at fixed places, nothing measured,
//     cut or cached (the texts may run into the next column);
//   - reader: the job's detail rows read back in print order through the processors' reader
//     (spool/render/SpoolJobs), nothing drawn: what the processor adds to the renderer for reading;
//   - removal: the job's removal alone (its detail rows, then its row), as the processor ends a job;
//   - processor: a finished job of that many detail rows in the spool tables (written once, before
//     the clock starts), taken by the PDF processor: read, drawn, marker left, job removed;
//   - unique: 20,000 rows whose name and zone cells hold 400 characters each, none repeated: the
//     renderer's cache of shaped texts must keep its memory bounded all the same.
//     render_bench [--max ROWS] [--only floor|huge|unique|renderer|plainest|reader|removal|processor]
//   (300,000 rows only when --max asks for them: the flat memory)
// Last measured (2 cores, load about 3, CPU seconds, medians of five runs in turns with the renderer
// before it shaped each text once): 100,000 rows, renderer 2.2 s (5.5 s before), processor 2.5 s
// (5.8 s), plainest 5.0-5.5 s; peaks renderer 21.7 MB, processor 47 MB (51 MB at 300,000 rows),
// unique 27 MB.
#include "spool/SpoolStore.h"
#include "spool/SpoolTables.h"
#include "spool/render/GuiPlatform.h"
#include "spool/render/OutputProcessor.h"
#include "spool/render/ProcessorUpkeep.h"
#include "spool/render/PdfOutput.h"
#include "spool/render/SpoolJobs.h"

#include <QPainter>
#include <QPdfWriter>

#include <QFontMetrics>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace gs;

namespace {

const char* Title = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\pard\\b\\f0\\fs20\\par\r\n"
                    "Gewinne, erstellt 10.12.2026 13:05:00\\bo\\fa\\fs20\\par}";
const char* Footer = "{\\rtf1\\ansi\\ansicpg1252\\pard\\b\\fs20\\par\r\nNetto: 1.234.567,89 \\'80\t\t"
                     "Provision: 12.345,67 \\'80\t\tGewinn: 234.567,89 \\'80\\par}";

std::vector<std::string> Cells(long long i)
{
    char net[32], profit[32];
    std::snprintf(net, sizeof net, "%lld,%02lld €", (i * 7919) % 100000, i % 100);
    std::snprintf(profit, sizeof profit, "%lld,%02lld €", (i * 104729) % 20000 - 5000, (i * 3) % 100);
    static const char* names[] = {"Müller & Söhne Großhandel GmbH", "Schulz Sanitär AG", "Weber, Sabine",
                                  "Osnabrücker Druckerei KG", "Autohaus Jung GbR"};
    return {std::to_string(100000 + i), names[i % 5], "17.09.2024", i % 3 ? "Gewinnzone" : "Verlustzone",
            net, profit, "0,00 €"};
}

ListDescription Job()
{
    ListDescription job;
    job.title = Title;
    job.footer = Footer;
    job.landscape = true;
    job.grid.columns = {{"", "Auftrag", 86, 0, 1},   {"", "Adresse", 81, 0, 0}, {"", "Datum", 103, 0, 0},
                        {"", "Warnung", 77, 0, 0},   {"", "Nettowert", 85, 0, 0}, {"", "Gewinn", 54, 0, 0},
                        {"", "Provsion", 70, 0, 0}};
    return job;
}

class GeneratedRows : public ListRowSource {
public:
    explicit GeneratedRows(long long n) : n_(n) {}
    long long RowCount() override { return n_; }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (i_ >= n_)
            return false;
        cells = Cells(++i_);
        return true;
    }

private:
    long long n_, i_ = 0;
};

long PeakKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// Writes a finished PDF job of n rows into a fresh spool below dir.
void WriteSpool(const std::filesystem::path& dir, long long n)
{
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "pdf");
    std::ofstream(dir / "TOVIK.INI") << "[PDF]\r\nBackupDir=" << (dir / "pdf").string() << "/\r\n";
    const auto spool = dir / SpoolDirectoryName;
    CreateSpoolTables(spool, false);
    SpoolStore store;
    store.Open(spool);
    const ListDescription job = Job();
    const std::vector<ListColumnSpec> columns = job.printedColumns();
    SpoolFields fields = {{"ISMAIL", true},
                          {"DataGrid", true},
                          {"Header", true},
                          {"Footer", true},
                          {"HTEXT", SpoolBytes{job.title}},
                          {"FTEXT", SpoolBytes{job.footer}},
                          {"LANDSCAPE", true},
                          {"X5", std::string(" 0 Bench")},
                          {"PrintName", std::string("GEWINN-bench-")}};
    for (size_t k = 0; k < columns.size(); ++k) {
        const std::string n = std::to_string(k + 1);
        fields.push_back({"h" + n, columns[k].caption});
        fields.push_back({"hw" + n, std::int64_t{columns[k].width}});
        fields.push_back({"aligd" + n, std::int64_t{columns[k].cellAlignment}});
    }
    const std::int64_t id = store.InsertJob(fields);
    store.BeginDetails(id);
    for (long long i = n; i >= 1; --i) // last row first, as the spooler writes
        store.AddDetail(Cells(i), {});
    store.CommitDetails();
    store.UpdateJob(id, {{"PRIO", std::int64_t{PrioPdf}}});
}

std::string only; // --only NAME: that line alone

template <class F> void InChild(const char* what, long long rows, F&& body)
{
    if (!only.empty() && only != what)
        return;
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        int argc = 1;
        char name[] = "render_bench";
        char* argv[] = {name, nullptr};
        QGuiApplication app(argc, argv);
        const auto start = std::chrono::steady_clock::now();
        const std::string result = body();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        std::printf("%-10s %8lld rows  %7.2f s (cpu %6.2f s)  peak %7.1f MB  %s\n", what, rows, seconds, cpu,
                    PeakKb() / 1024.0, result.c_str());
        std::fflush(stdout);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::printf("%-10s %8lld rows  failed\n", what, rows);
}

} // namespace

int main(int argc, char** argv)
{
    long long max = 100000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--max") == 0)
            max = std::atoll(argv[i + 1]);
        else if (std::strcmp(argv[i], "--only") == 0)
            only = argv[i + 1];
    PreferOffscreenWithoutDisplay();
    const auto work = std::filesystem::temp_directory_path() / ("gs-render-bench-" + std::to_string(::getpid()));

    InChild("floor", 0, [] {
        QFontMetrics(QFont(QStringLiteral("Arial"))).horizontalAdvance(QStringLiteral("x"));
        return std::string("GUI classes and one font");
    });
    // The lengths a damaged or hostile job may carry: a cell of 10 MB, 250 cells of 1 MB, a title of
    // 5 MB; what the layout cannot show is cut before it is measured.
    InChild("huge", 250, [&] {
        ListDescription job = Job();
        std::string title = "{\\rtf1\\ansi ";
        while (title.size() < 5'000'000)
            title += std::string(99, 'x') + "\\par ";
        job.title = title + "}";
        // Made on the fly, one row at a time, as the spool's rows are read.
        class HugeRows : public ListRowSource {
        public:
            long long RowCount() override { return 250; }
            bool NextRow(std::vector<std::string>& cells) override
            {
                if (i_ >= 250)
                    return false;
                cells = Cells(++i_);
                cells[1] = std::string(i_ == 1 ? 10'000'000 : 1'000'000, 'M');
                return true;
            }

        private:
            long long i_ = 0;
        } source;
        const auto r = WriteListPdf(job, {"10.12.2026 13:05", "Listendruck"}, source, work.string() + "-huge.pdf");
        std::filesystem::remove(work.string() + "-huge.pdf");
        return std::to_string(r.pages) + " pages (title 5 MB, one cell of 10 MB, 249 of 1 MB)";
    });
    // Long texts that never repeat: what the cache of shaped texts holds must stay bounded.
    InChild("unique", 20000, [&] {
        class LongRows : public ListRowSource {
        public:
            long long RowCount() override { return 20000; }
            bool NextRow(std::vector<std::string>& cells) override
            {
                if (i_ >= 20000)
                    return false;
                ++i_;
                std::string name = std::to_string(i_ * 7919) + " ";
                while (name.size() < 450)
                    name += "Kundenname Straße " + std::to_string(i_) + " ";
                cells = Cells(i_);
                cells[1] = name;
                cells[3] = name + "x";
                return true;
            }

        private:
            long long i_ = 0;
        } source;
        const auto r = WriteListPdf(Job(), {"10.12.2026 13:05", "Listendruck"}, source, work.string() + "-unique.pdf");
        std::filesystem::remove(work.string() + "-unique.pdf");
        return std::to_string(r.pages) + " pages (two cells of 400 characters per row, none repeated)";
    });
    for (long long rows : {1000LL, 10000LL, 100000LL, 300000LL}) {
        if (rows > max)
            break;
        InChild("renderer", rows, [&] {
            GeneratedRows source(rows);
            const auto r = WriteListPdf(Job(), {"10.12.2026 13:05", "Listendruck"}, source, work.string() + "-list.pdf");
            const auto size = std::filesystem::file_size(work.string() + "-list.pdf");
            std::filesystem::remove(work.string() + "-list.pdf");
            return std::to_string(r.pages) + " pages, " + std::to_string(size / 1024) + " KB";
        });
        InChild("plainest", rows, [&] {
            const QString file = QString::fromStdString(work.string() + "-plain.pdf");
            long long pages = 0;
            {
                QPdfWriter writer(file);
                writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
                writer.setResolution(600);
                writer.setPageOrientation(QPageLayout::Landscape);
                QPainter painter(&writer);
                QFont font(QStringLiteral("Arial"));
                font.setPointSizeF(9);
                painter.setFont(font);
                const double line = writer.resolution() * 9 * 1.35 / 72;
                const double width = writer.width() / 7.0;
                const int perPage = static_cast<int>(writer.height() / line) - 1;
                const ListDescription job = Job();
                for (long long i = 1; i <= rows; ++i) {
                    const long long onPage = (i - 1) % perPage;
                    if (onPage == 0) {
                        if (i > 1)
                            writer.newPage();
                        ++pages;
                        for (size_t c = 0; c < job.grid.columns.size(); ++c)
                            painter.drawText(QPointF(c * width, line), QString::fromStdString(job.grid.columns[c].title));
                    }
                    const auto cells = Cells(i);
                    for (size_t c = 0; c < cells.size(); ++c)
                        painter.drawText(QPointF(c * width, (onPage + 2) * line), QString::fromStdString(cells[c]));
                }
            }
            const auto size = std::filesystem::file_size(file.toStdString());
            std::filesystem::remove(file.toStdString());
            return std::to_string(pages) + " pages, " + std::to_string(size / 1024) + " KB";
        });
        if (only.empty() || only == "reader" || only == "removal" || only == "processor") {
            // In a child of its own: what the writing takes must not count in the next child's peak,
            // which starts with this process's pages.
            std::fflush(stdout);
            const pid_t writer = ::fork();
            if (writer == 0) {
                WriteSpool(work, rows);
                ::_exit(0);
            }
            ::waitpid(writer, nullptr, 0);
        }
        InChild("reader", rows, [&] {
            SpoolJobs jobs;
            jobs.Open(work / SpoolDirectoryName);
            const auto ids = jobs.WaitingJobs(PrioPdf, true);
            auto source = jobs.DetailRows(ids.at(0), 7);
            std::vector<std::string> cells;
            long long n = 0, bytes = 0;
            source->RowCount();
            while ((cells.clear(), source->NextRow(cells))) {
                ++n;
                for (const auto& c : cells)
                    bytes += static_cast<long long>(c.size());
            }
            return std::to_string(n) + " rows read, " + std::to_string(bytes / 1024) + " KB of cells";
        });
        InChild("removal", rows, [&] {
            // The job's removal alone (its detail rows and its row), as the processor does it when done.
            SpoolStore store;
            store.Open(work / SpoolDirectoryName);
            SpoolJobs jobs;
            jobs.Open(work / SpoolDirectoryName);
            const auto ids = jobs.WaitingJobs(PrioPdf, true);
            jobs.Close();
            store.DeleteJob(ids.at(0));
            return std::string("job removed");
        });
        if (only == "removal" || only.empty()) {
            std::fflush(stdout);
            const pid_t writer = ::fork();
            if (writer == 0) {
                WriteSpool(work, rows);
                ::_exit(0);
            }
            ::waitpid(writer, nullptr, 0);
        }
        InChild("processor", rows, [&] {
            KeepHeapForPages(); // as the processor programs start
            ProcessorOptions o;
            o.spoolDir = work / SpoolDirectoryName;
            o.programDir = work;
            o.opener.clear();
            OutputProcessor processor(o);
            const int done = processor.ProcessDueJobs();
            return std::string(done == 1 ? "job done" : "JOB NOT DONE, see PDFPROC.LOG");
        });
        std::filesystem::remove_all(work);
    }
    return 0;
}
