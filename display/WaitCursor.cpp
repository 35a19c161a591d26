#include "display/WaitCursor.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

namespace gs {

namespace {

constexpr int kSize = 32;
constexpr int kFrames = 6;
constexpr int kFrameMilliseconds = 150;

QPixmap Canvas()
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

// An hourglass whose sand runs from the upper into the lower bulb.
QCursor HourglassFrame(int frame)
{
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal share = qreal(frame) / (kFrames - 1); // 0: all sand above, 1: all below
    QPainterPath glass;
    glass.moveTo(9, 4);
    glass.lineTo(23, 4);
    glass.lineTo(17.5, 16);
    glass.lineTo(23, 28);
    glass.lineTo(9, 28);
    glass.lineTo(14.5, 16);
    glass.closeSubpath();
    p.fillPath(glass, QColor(255, 255, 255, 230));
    // Sand above: a triangle shrinking towards the neck.
    const qreal top = 5 + 10 * share;
    if (share < 1) {
        const qreal half = 6.5 * (1 - share);
        QPainterPath upper;
        upper.moveTo(16 - half, top);
        upper.lineTo(16 + half, top);
        upper.lineTo(16, 15.5);
        upper.closeSubpath();
        p.fillPath(upper, QColor(214, 160, 40));
    }
    // Sand below: a heap growing from the bottom.
    if (share > 0) {
        const qreal height = 10 * share;
        QPainterPath lower;
        lower.moveTo(10, 27);
        lower.lineTo(22, 27);
        lower.lineTo(16 + 3 * share, 27 - height);
        lower.lineTo(16 - 3 * share, 27 - height);
        lower.closeSubpath();
        p.fillPath(lower, QColor(214, 160, 40));
        p.setPen(QPen(QColor(214, 160, 40), 1));
        p.drawLine(QPointF(16, 16), QPointF(16, 27 - height));
    }
    p.setPen(QPen(Qt::black, 1.2));
    p.drawPath(glass);
    p.fillRect(QRectF(7, 2, 18, 3), Qt::black);
    p.fillRect(QRectF(7, 27, 18, 3), Qt::black);
    p.end();
    return QCursor(pm, 16, 16);
}

// A printer with a sheet coming out of it.
QCursor PrinterFrame(int frame)
{
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 3.5, 13, 8)); // paper waiting at the back
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(3.5, 10.5, 25, 11), 2, 2);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(7.5, 18.5, 17, 2));
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(24.5, 13.5), 1.2, 1.2);
    const qreal out = 2 + 1.8 * frame; // the printed sheet grows below the slot
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 19.5, 15, out));
    p.setPen(QPen(QColor(40, 40, 160), 1));
    for (qreal y = 21.5; y < 19.5 + out - 1; y += 2.5)
        p.drawLine(QPointF(10.5, y), QPointF(21.5, y));
    p.end();
    return QCursor(pm, 16, 16);
}

// A PDF sheet with an arrow running down into it.
QCursor PdfFrame(int frame)
{
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(6.5, 2.5);
    sheet.lineTo(20.5, 2.5);
    sheet.lineTo(26.5, 8.5);
    sheet.lineTo(26.5, 29.5);
    sheet.lineTo(6.5, 29.5);
    sheet.closeSubpath();
    p.fillPath(sheet, Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(sheet);
    p.drawLine(QPointF(20.5, 2.5), QPointF(20.5, 8.5));
    p.drawLine(QPointF(20.5, 8.5), QPointF(26.5, 8.5));
    p.fillRect(QRectF(4, 19, 24, 9), QColor(200, 20, 20));
    QFont f;
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 19, 24, 9), Qt::AlignCenter, QStringLiteral("PDF"));
    const qreal y = 4 + 2 * frame; // the arrow moves down towards the band
    QPainterPath arrow;
    arrow.moveTo(14, y);
    arrow.lineTo(18, y);
    arrow.lineTo(18, y + 3);
    arrow.lineTo(21, y + 3);
    arrow.lineTo(16, y + 7);
    arrow.lineTo(11, y + 3);
    arrow.lineTo(14, y + 3);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(30, 90, 200));
    p.end();
    return QCursor(pm, 16, 16);
}

QCursor MagnifierCursor()
{
    QPixmap pm = Canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(220, 235, 255, 200));
    p.drawEllipse(QPointF(12, 12), 8, 8);
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 18), QPointF(28, 28));
    p.end();
    return QCursor(pm, 12, 12);
}

class WaitController : public QObject {
public:
    explicit WaitController(QObject* parent) : QObject(parent)
    {
        timer_.setInterval(kFrameMilliseconds);
        connect(&timer_, &QTimer::timeout, this, [this] { nextFrame(); });
    }

    // The frames are drawn once and live as long as the application.
    QList<QCursor> frames(WaitKind kind)
    {
        if (kind == WaitKind::None)
            return {};
        auto it = cache_.find(static_cast<int>(kind));
        if (it == cache_.end()) {
            QList<QCursor> frames;
            for (int i = 0; i < kFrames; ++i)
                frames << (kind == WaitKind::Wait    ? HourglassFrame(i)
                           : kind == WaitKind::Print ? PrinterFrame(i)
                                                     : PdfFrame(i));
            it = cache_.insert(static_cast<int>(kind), frames);
        }
        return *it;
    }

    void begin(WaitKind kind)
    {
        frames_ = frames(kind);
        frame_ = 0;
        if (kind_ == WaitKind::None || !QGuiApplication::overrideCursor())
            QGuiApplication::setOverrideCursor(frames_.first());
        else
            QGuiApplication::changeOverrideCursor(frames_.first());
        kind_ = kind;
        timer_.start();
    }

    void end()
    {
        timer_.stop();
        kind_ = WaitKind::None;
        frames_.clear();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    WaitKind kind() const { return kind_; }

private:
    void nextFrame()
    {
        if (kind_ == WaitKind::None || frames_.isEmpty() || !QGuiApplication::overrideCursor()) {
            timer_.stop();
            return;
        }
        frame_ = (frame_ + 1) % frames_.size();
        QGuiApplication::changeOverrideCursor(frames_[frame_]);
    }

    QTimer timer_;
    QHash<int, QList<QCursor>> cache_;
    WaitKind kind_ = WaitKind::None;
    QList<QCursor> frames_;
    int frame_ = 0;
};

WaitController* Controller()
{
    static QPointer<WaitController> controller;
    if (!controller && qGuiApp)
        controller = new WaitController(qGuiApp);
    return controller.data();
}

void Begin(WaitKind kind)
{
    if (WaitController* c = Controller())
        c->begin(kind);
}

} // namespace

QList<QCursor> WaitCursorFrames(WaitKind kind)
{
    WaitController* c = Controller();
    return c ? c->frames(kind) : QList<QCursor>();
}

QCursor HostCursor(int number)
{
    switch (number) {
    case crHand: return QCursor(Qt::PointingHandCursor);
    case crMagnify: return MagnifierCursor();
    case crMove: return QCursor(Qt::SizeAllCursor);
    case crWait: return WaitCursorFrames(WaitKind::Wait).value(0, QCursor(Qt::WaitCursor));
    case crPrintWait: return WaitCursorFrames(WaitKind::Print).value(0, QCursor(Qt::WaitCursor));
    case crPdfWait: return WaitCursorFrames(WaitKind::Pdf).value(0, QCursor(Qt::WaitCursor));
    default: return QCursor(Qt::ArrowCursor);
    }
}

void BeginWait() { Begin(WaitKind::Wait); }
void BeginPrintWait() { Begin(WaitKind::Print); }
void BeginPdfWait() { Begin(WaitKind::Pdf); }

void EndWait()
{
    if (WaitController* c = Controller())
        c->end();
}

WaitKind CurrentWait()
{
    const WaitController* c = Controller();
    return c ? c->kind() : WaitKind::None;
}

} // namespace gs
