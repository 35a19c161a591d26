#include "app/widgets/ChartPicture.h"

#include "app/widgets/ProfitChart.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Text.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QMenu>

#include "base/Dialogs.h"
#include "app/Runtime.h"

namespace gs {

namespace {

constexpr qreal PictureScale = 2;

} // namespace

QByteArray ChartPictureBytes(const ChartPictureRequest& request)
{
    ProfitChart chart;
    chart.resize(QSize(request.size.width() / 2, request.size.height() / 2));
    chart.setTitleText(request.title);
    if (request.labels.empty()) {
        chart.refresh(request.months);
    } else {
        QStringList labels;
        for (const std::string& l : request.labels)
            labels << QString::fromStdString(l);
        chart.refresh(request.months, labels);
    }
    if (request.previous)
        chart.setPreviousYear(&*request.previous);
    chart.setBarsActive(request.bars);
    return ChartPictureBytes(chart, request.size, request.svg);
}

QByteArray ChartPictureBytes(const ProfitChart& chart, const QSize& size, bool asSvg)
{
    const QSizeF chartSize(size.width() / PictureScale, size.height() / PictureScale);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (asSvg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRectF(QPointF(0, 0), chartSize));
        svg.setTitle(chart.titleText());
        QPainter painter(&svg);
        painter.setRenderHint(QPainter::Antialiasing);
        chart.paintPicture(painter, chartSize);
        painter.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(PictureScale, PictureScale);
        chart.paintPicture(painter, chartSize);
        painter.end();
        if (!image.save(&buffer, "PNG"))
            throw Error("Das Bild der Grafik konnte nicht erzeugt werden");
    }
    return bytes;
}

bool IsSvgFile(const std::filesystem::path& file) { return EqualsNoCase(file.extension().string(), ".svg"); }

void WriteChartPicture(ChartPictureRequest request, const std::filesystem::path& file)
{
    request.svg = IsSvgFile(file);
    const QByteArray bytes = ChartPictureBytes(request);
    WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

bool SaveChartPicture(const ProfitChart& chart)
{
    Dialogs& dialogs = Runtime::current().dialogs();
    SaveFileRequest ask;
    ask.title = "Bild speichern";
    ask.filter = ChartPictureFilter;
    ask.defaultSuffix = "png";
    ask.initialPath = "Gewinn-Grafik.png";
    const std::optional<std::string> chosen = dialogs.chooseSaveFile(ask);
    if (!chosen || chosen->empty())
        return false;
    const std::filesystem::path file = *chosen;
    try {
        const QByteArray bytes = ChartPictureBytes(chart, chart.size() * 2, IsSvgFile(file));
        WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        dialogs.showMessage(e.what(), {}, "Bild speichern");
        return false;
    }
    return true;
}

QMenu* BuildChartMenu(const ProfitChart& chart, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ChartMenu"));
    QAction* save = menu->addAction(QString::fromUtf8("Bild speichern…"));
    save->setObjectName(QStringLiteral("SaveChartPicture"));
    QObject::connect(save, &QAction::triggered, menu, [&chart] { SaveChartPicture(chart); });
    return menu;
}

void InstallChartMenu(ProfitChart* chart)
{
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(chart, &QWidget::customContextMenuRequested, chart, [chart](const QPoint& pos) {
        QMenu* menu = BuildChartMenu(*chart, chart);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(chart->mapToGlobal(pos));
    });
}

} // namespace gs
