// The rich-text reader of list titles and footers (HTEXT, FTEXT of a spool job): any bytes read
// without a crash into valid UTF-8 runs with sane sizes, the same bytes read the same way again,
// and plain text (not "{\rtf") keeps its characters.
#include "base/Text.h"
#include "spool/render/RichText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool ValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const gs::RichText text = gs::ReadRichText(bytes);
    size_t characters = 0;
    for (const gs::RichParagraph& p : text.paragraphs) {
        for (const gs::RichRun& r : p.runs) {
            if (!ValidUtf8(r.text) || !ValidUtf8(r.font))
                std::abort();
            if (!std::isfinite(r.pointSize) || r.pointSize <= 0)
                std::abort();
            characters += r.text.size();
        }
    }
    // No text grows without bound from a small input (a \uN gives at most 4 bytes for each byte read).
    if (characters > 4 * size + 16)
        std::abort();
    if (gs::ReadRichText(bytes).plainText() != text.plainText())
        std::abort();
    (void)text.blank();
    (void)gs::LooksLikeRichText(bytes);
    return 0;
}
