#include "display/MessageMarkup.h"

#include "base/HostColors.h"
#include "display/QtColors.h"

#include <QApplication>
#include <QDesktopServices>
#include <QList>

namespace gs {

namespace {

struct Attribute {
    QString name; // upper case
    QString value;
};

struct Tag {
    QString name; // upper case
    bool closing = false;
    QList<Attribute> attributes;
};

bool IsNameChar(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'); }

// Parses the text between "<" and ">"; false when it is no well-formed tag.
bool ParseTag(QStringView content, Tag& tag)
{
    qsizetype i = 0;
    const qsizetype n = content.size();
    auto skipSpace = [&] {
        while (i < n && content[i].isSpace())
            ++i;
    };
    // The name follows "<" or "</" directly: "a < b" is text.
    if (i < n && content[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && IsNameChar(content[i]))
        ++i;
    if (i == nameStart)
        return false;
    tag.name = content.mid(nameStart, i - nameStart).toString().toUpper();
    if (i < n && !content[i].isSpace() && content[i] != u'/')
        return false;
    while (true) {
        skipSpace();
        if (i >= n)
            return true;
        if (content[i] == u'/') { // "<BR/>"
            ++i;
            skipSpace();
            return i >= n;
        }
        const qsizetype attrStart = i;
        while (i < n && (IsNameChar(content[i]) || content[i] == u'-'))
            ++i;
        if (i == attrStart)
            return false;
        Attribute attr{content.mid(attrStart, i - attrStart).toString().toUpper(), {}};
        skipSpace();
        if (i < n && content[i] == u'=') {
            ++i;
            skipSpace();
            if (i < n && (content[i] == u'"' || content[i] == u'\'')) {
                const QChar quote = content[i++];
                const qsizetype valueStart = i;
                while (i < n && content[i] != quote)
                    ++i;
                if (i >= n)
                    return false;
                attr.value = content.mid(valueStart, i - valueStart).toString();
                ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !content[i].isSpace())
                    ++i;
                attr.value = content.mid(valueStart, i - valueStart).toString();
            }
        }
        tag.attributes.append(attr);
    }
}

QString AttributeValue(const Tag& tag, const QString& name)
{
    for (const Attribute& a : tag.attributes)
        if (a.name == name)
            return a.value;
    return {};
}

bool HasAttribute(const Tag& tag, const QString& name)
{
    for (const Attribute& a : tag.attributes)
        if (a.name == name)
            return true;
    return false;
}

// A font name as it may stand in a style: quotes, separators and brackets removed.
QString SafeFontName(const QString& face)
{
    QString r;
    for (QChar c : face)
        if (!QStringLiteral("\"';<>{}\\()").contains(c) && !c.isNull() && c.unicode() >= 0x20)
            r += c;
    return r.trimmed();
}

QString FontSpanOpen(const Tag& tag)
{
    QStringList style;
    const QString face = SafeFontName(AttributeValue(tag, QStringLiteral("FACE")));
    if (!face.isEmpty())
        style << QStringLiteral("font-family:'%1'").arg(face);
    const QColor color = MarkupColor(AttributeValue(tag, QStringLiteral("COLOR")));
    if (color.isValid())
        style << QStringLiteral("color:%1").arg(color.name());
    const QColor background = MarkupColor(AttributeValue(tag, QStringLiteral("BGCOLOR")));
    if (background.isValid())
        style << QStringLiteral("background-color:%1").arg(background.name());
    bool ok = false;
    const int size = AttributeValue(tag, QStringLiteral("SIZE")).trimmed().toInt(&ok);
    if (ok && size > 0) {
        const int points = size <= 5 ? 8 + 2 * (size - 1) : qMin(size, 400);
        style << QStringLiteral("font-size:%1pt").arg(points);
    }
    if (style.isEmpty())
        return QStringLiteral("<span>");
    return QStringLiteral("<span style=\"%1\">").arg(style.join(u';'));
}

QString LinkTarget(const Tag& tag)
{
    if (HasAttribute(tag, QStringLiteral("HREF")))
        return AttributeValue(tag, QStringLiteral("HREF"));
    return tag.attributes.isEmpty() ? QString() : tag.attributes.first().value;
}

struct OpenElement {
    QString name;
    QString openHtml;
    QString closeHtml;
};

struct Entity {
    const char16_t* name;
    const char16_t* html;
};
constexpr Entity kEntities[] = {
    {u"&amp;", u"&amp;"},   {u"&quot;", u"&quot;"}, {u"&lt;", u"&lt;"},     {u"&gt;", u"&gt;"},
    {u"&nbsp;", u"&nbsp;"}, {u"&sect;", u"\u00A7"}, {u"&para;", u"\u00B6"}, {u"&copy;", u"\u00A9"},
    {u"&reg;", u"\u00AE"},  {u"&trade;", u"\u2122"}, {u"&euro;", u"\u20AC"}, {u"&permil;", u"\u2030"},
};

} // namespace

QString ExpandLineBreakCodes(const QString& text)
{
    QString r = text;
    r.replace(QStringLiteral("#13#10"), QStringLiteral("<BR>"), Qt::CaseInsensitive);
    return r;
}

QColor MarkupColor(const QString& value)
{
    const QString v = value.trimmed();
    if (v.startsWith(u'#')) {
        if (v.size() != 7)
            return {};
        bool ok = false;
        const uint rgb = v.mid(1).toUInt(&ok, 16);
        return ok ? QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF) : QColor();
    }
    if (const auto host = ColorFromIdent(v.toStdString()))
        return HostColorToQColor(*host);
    return {};
}

QString MessageMarkupToRichText(const QString& markup)
{
    QString out;
    out.reserve(markup.size() + 32);
    QList<OpenElement> open;

    auto openElement = [&](const QString& name, const QString& openHtml, const QString& closeHtml) {
        out += openHtml;
        open.append({name, openHtml, closeHtml});
    };
    auto closeElement = [&](const QString& name) {
        qsizetype at = -1;
        for (qsizetype k = open.size() - 1; k >= 0; --k)
            if (open[k].name == name) {
                at = k;
                break;
            }
        if (at < 0)
            return;
        for (qsizetype k = open.size() - 1; k >= at; --k)
            out += open[k].closeHtml;
        open.removeAt(at);
        for (qsizetype k = at; k < open.size(); ++k)
            out += open[k].openHtml;
    };

    const qsizetype n = markup.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = markup[i];
        if (c == u'<') {
            const qsizetype close = markup.indexOf(u'>', i + 1);
            Tag tag;
            if (close > i && ParseTag(QStringView(markup).mid(i + 1, close - i - 1), tag)) {
                bool known = true;
                const QString& name = tag.name;
                if (name == u"B" || name == u"I" || name == u"U" || name == u"S" || name == u"SUB" ||
                    name == u"SUP") {
                    const QString lower = name.toLower();
                    if (tag.closing)
                        closeElement(name);
                    else
                        openElement(name, u'<' + lower + u'>', QStringLiteral("</") + lower + u'>');
                } else if (name == u"BR" || name == u"HR") {
                    if (!tag.closing)
                        out += name == u"BR" ? QStringLiteral("<br/>") : QStringLiteral("<hr/>");
                } else if (name == u"FONT") {
                    if (tag.closing)
                        closeElement(name);
                    else
                        openElement(name, FontSpanOpen(tag), QStringLiteral("</span>"));
                } else if (name == u"A") {
                    if (tag.closing)
                        closeElement(name);
                    else
                        openElement(name, QStringLiteral("<a href=\"%1\">").arg(LinkTarget(tag).toHtmlEscaped()),
                                    QStringLiteral("</a>"));
                } else {
                    known = false;
                }
                if (known) {
                    i = close + 1;
                    continue;
                }
            }
            out += QStringLiteral("&lt;");
            ++i;
            continue;
        }
        if (c == u'&') {
            bool matched = false;
            for (const Entity& e : kEntities) {
                const QStringView name(e.name);
                if (QStringView(markup).mid(i, name.size()) == name) {
                    out += QStringView(e.html);
                    i += name.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                out += QStringLiteral("&amp;");
                ++i;
            }
            continue;
        }
        if (c == u'>')
            out += QStringLiteral("&gt;");
        else if (c == u'"')
            out += QStringLiteral("&quot;");
        else
            out += c;
        ++i;
    }
    for (qsizetype k = open.size() - 1; k >= 0; --k)
        out += open[k].closeHtml;
    return out;
}

std::optional<QUrl> MessageLinkUrl(const QString& target)
{
    if (!target.contains(QStringLiteral("://")) && !target.contains(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return std::nullopt;
    QString t = target.trimmed();
    const qsizetype file = t.indexOf(QStringLiteral("file://"), 0, Qt::CaseInsensitive);
    if (file >= 0)
        t.remove(file, 7);
    if (t.isEmpty())
        return std::nullopt;
    if (t.contains(QStringLiteral("://")) || t.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return QUrl(t, QUrl::TolerantMode);
    return QUrl::fromLocalFile(t);
}

bool OpenMessageLink(const QString& target)
{
    const auto url = MessageLinkUrl(target);
    if (!url)
        return false;
    if (QDesktopServices::openUrl(*url))
        return true;
    QApplication::beep();
    return false;
}

} // namespace gs
