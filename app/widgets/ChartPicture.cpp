#include "app/widgets/ChartPicture.h"

#include "app/widgets/ProfitChart.h"
#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Text.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace gs {

namespace {

constexpr qreal PictureScale = 2;

} // namespace

QByteArray ChartPictureBytes(const ChartPictureRequest& request)
{
    TProfitChart chart;
    const QSizeF chartSize(request.size.width() / PictureScale, request.size.height() / PictureScale);
    chart.resize(chartSize.toSize());
    chart.setTitleText(request.title);
    chart.refresh(request.months);
    chart.setBarsActive(request.bars);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (request.svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(request.size);
        svg.setViewBox(QRectF(QPointF(0, 0), chartSize));
        svg.setTitle(request.title);
        QPainter painter(&svg);
        painter.setRenderHint(QPainter::Antialiasing);
        chart.paintPicture(painter, chartSize);
        painter.end();
    } else {
        QImage image(request.size, QImage::Format_RGB32);
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

} // namespace gs
