#include "spool/render/RichTextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QPaintDevice>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

namespace gs {

namespace {

Qt::Alignment QtAlignment(TRichAlignment a)
{
    switch (a) {
    case TRichAlignment::Right: return Qt::AlignRight;
    case TRichAlignment::Centre: return Qt::AlignHCenter;
    case TRichAlignment::Justify: return Qt::AlignJustify;
    case TRichAlignment::Left: break;
    }
    return Qt::AlignLeft;
}

} // namespace

std::unique_ptr<QTextDocument> MakeRichTextDocument(const RichText& text, QPaintDevice& device, double width,
                                                    const char* defaultFamily)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(&device);
    doc->setDocumentMargin(0);
    QTextOption option = doc->defaultTextOption();
    // Tab stops every 12.5 mm, as a word processor's default. The layout counts tab distances in
    // screen pixels and scales them to the device itself.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    option.setTabStopDistance(12.5 / 25.4 * screenDpi);
    doc->setDefaultTextOption(option);
    QFont base(QString::fromLatin1(defaultFamily));
    base.setPointSizeF(10);
    doc->setDefaultFont(base);

    QTextCursor cursor(doc.get());
    bool first = true;
    for (const RichParagraph& p : text.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(QtAlignment(p.alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const RichRun& run : p.runs) {
            QTextCharFormat format;
            format.setFontFamilies({run.font.empty() ? QString::fromLatin1(defaultFamily)
                                                     : QString::fromStdString(run.font)});
            format.setFontPointSize(run.pointSize);
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            format.setFontUnderline(run.underline);
            QString s = QString::fromStdString(run.text);
            s.replace(QLatin1Char('\n'), QChar::LineSeparator);
            cursor.insertText(s, format);
        }
    }
    doc->setTextWidth(width);
    return doc;
}

} // namespace gs
