#pragma once
// Memo and blob column values: either one zlib stream (RFC 1950, no framing) or the plain bytes.
// Readers accept both; writers always compress. The table-bound ReadBlobField / WriteBlobField are
// thin wrappers that move a column value through these two functions.
#include <cstddef>
#include <string>
#include <string_view>

namespace gs {

class TAdsTable;
class Field;

// Inflated content beyond this size is taken as damage (a decompression bomb), not as content:
// the value is then returned as plain bytes. Real order texts and layouts stay far below it.
inline constexpr std::size_t kMaxInflatedBlobSize = std::size_t{256} << 20;

// The content of a column value. A zlib stream is inflated: bytes after its end are ignored, and a
// stream cut short yields what inflated up to the cut. Anything zlib rejects (wrong header,
// corrupt data, a wrong checksum, a preset dictionary) and content beyond maxInflated bytes
// yield the source bytes unchanged. Empty gives empty. Never raises except for lack of memory.
std::string DecompressOrCopy(std::string_view source, std::size_t maxInflated = kMaxInflatedBlobSize);

// One zlib stream of the source at the default level (-1); an empty source gives an empty stream
// (header, empty block, trailer). When compressing fails, the plain source bytes.
std::string CompressBlob(std::string_view source);

// The content of a column of the table's current row: DecompressOrCopy of its stored bytes. A
// column the table lacks, or a value that cannot be read, leaves target exactly as it was (callers
// that need a clean result pass an empty one). Never raises for ordinary errors.
void ReadBlobField(TAdsTable& table, std::string_view column, std::string& target);
// The same for a column already looked up.
void ReadBlobField(const Field& field, std::string& target);

// Stores source, compressed, into the column of the row being edited or inserted (the caller has
// called Edit or Insert and posts afterwards). A column the table lacks raises the database error.
void WriteBlobField(TAdsTable& table, std::string_view source, std::string_view column);

} // namespace gs
