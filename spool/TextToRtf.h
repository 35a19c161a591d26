#pragma once
// Rich text for list titles and footers: a plain text wrapped into the bold rich-text block that
// the output processors print in the page header (HTEXT) and under the list (FTEXT).
//
// Used by the grid print dialog and the report command. Never raises; reads (and writes back) the
// title size from UserMode.INI.
#include <string>
#include <string_view>

namespace gs {

// The marker of a text that is rich text already.
inline constexpr const char* RtfMarker = "{\\rtf1\\ansi\\ansicpg1252";

// True when the text already carries the rich-text marker.
bool IsRtfText(std::string_view text);

// The text (UTF-8) as the rich-text block: the head with the font size of
// "TFGridPrinterClass.Text2RtfSize.Size" (points, default 10, written back), CR LF, the text with
// umlauts and ß as \'xx escapes and each CR LF as "\par" CR LF, then the closing group. A text that
// is rich text already comes back unchanged.
std::string TextToRtf(std::string_view text);

// The same with the size given (points), for callers that read it themselves.
std::string TextToRtfWithSize(std::string_view text, int pointSize);

} // namespace gs
