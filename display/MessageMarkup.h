#pragma once
// The message markup of the module's texts and its conversion to Qt rich text.
//
//   <B> <I> <U> <S> ... closing tags     bold, italic, underlined, struck out
//   <BR>  <HR>                           line break, horizontal line
//   <FONT FACE=".." COLOR=".." BGCOLOR=".." SIZE="..">  ... </FONT>
//        colours "#RRGGBB" or a colour name (clred, clwindow, ...); SIZE 1..5 = 8/10/12/14/16 pt,
//        any other positive number is a point size
//   <A HREF="target"> ... </A>           link (see MessageLinkUrl)
//   <SUB> <SUP>                          subscript, superscript
//   &amp; &quot; &lt; &gt; &nbsp; &sect; &para; &copy; &reg; &trade; &euro; &permil;
//
// Tag names in any letter case. Everything else is text: it is escaped, so a message that carries
// user data (a file name with "<" or "&") can never produce other markup.
#include <QColor>
#include <QString>
#include <QUrl>

#include <optional>

namespace gs {

// Replaces every "#13#10" (letters in any case) with "<BR>".
QString ExpandLineBreakCodes(const QString& text);

// Qt rich text for a marked-up message; tags left open are closed at the end, closing tags without
// an opening one are dropped, overlapping tags are nested properly.
QString MessageMarkupToRichText(const QString& markup);

// A markup colour: "#RRGGBB" or a colour identifier ("clred", "clBtnFace"); invalid otherwise.
QColor MarkupColor(const QString& value);

// What a click on a link opens: targets that contain "://" or "mailto:" open, after the first
// "file://" (any case) has been removed (a plain path then opens as a local file); other targets
// open nothing.
std::optional<QUrl> MessageLinkUrl(const QString& target);

// Opens a link target with the desktop's handler; beeps when that fails. True when it was opened.
bool OpenMessageLink(const QString& target);

} // namespace gs
