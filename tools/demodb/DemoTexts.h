#pragma once
// Texts and blob contents of the demo documents: header and footer texts, item data, the column
// layout, free status text (GZS), internal notes and additional info lines; and a reusable zlib
// compressor that gives the same bytes as CompressBlob.
#include "DemoRandom.h"

#include <memory>
#include <string>
#include <string_view>

namespace gs::demo {

// All texts are Windows-1252 bytes, as the host stores them in its memo columns.
std::string MakeHeaderText(Random& r);
std::string MakeFooterText(Random& r);
std::string MakeItemData(Random& r);
std::string MakeColumnsFormat(Random& r);
std::string MakeOrder2(Random& r);
// GZS: a few lines, or with a destination in lines 15 and 16.
std::string MakeStatusNotes(Random& r, bool withDestination);
std::string MakeInternNote(Random& r);
// The Endtext component stream of one to four additional info lines.
std::string MakeAddInfoLines(Random& r);

// One zlib stream at the default level, as CompressBlob writes it, without setting up the
// compressor for every value.
class Deflater {
public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    std::string compress(std::string_view source);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace gs::demo
