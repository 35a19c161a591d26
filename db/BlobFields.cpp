#include "db/BlobFields.h"

#include "base/Error.h"
#include "db/AdsTable.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace gs {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

// Ends a zlib stream object however the function leaves.
template <int (*End)(z_streamp)>
struct ZStream {
    z_stream zs{};
    bool open = false;
    ~ZStream()
    {
        if (open)
            End(&zs);
    }
};

// Hands zlib the next piece of the source, at most one buffer at a time.
void Feed(z_stream& zs, std::string_view source, std::size_t& fed)
{
    if (zs.avail_in != 0 || fed >= source.size())
        return;
    const std::size_t n = std::min(kBufferSize, source.size() - fed);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(source.data() + fed));
    zs.avail_in = static_cast<uInt>(n);
    fed += n;
}

} // namespace

std::string DecompressOrCopy(std::string_view source, std::size_t maxInflated)
{
    if (source.empty())
        return {};
    ZStream<inflateEnd> z;
    if (inflateInit(&z.zs) != Z_OK)
        return std::string(source);
    z.open = true;

    std::string target;
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kBufferSize);
    std::size_t fed = 0;
    for (;;) {
        Feed(z.zs, source, fed);
        z.zs.next_out = buffer.get();
        z.zs.avail_out = static_cast<uInt>(kBufferSize);
        const int rc = inflate(&z.zs, Z_NO_FLUSH);
        const std::size_t produced = kBufferSize - z.zs.avail_out;
        if (produced > maxInflated - target.size())
            return std::string(source);
        target.append(reinterpret_cast<const char*>(buffer.get()), produced);
        if (rc == Z_STREAM_END)
            return target; // bytes after the stream are ignored
        if (rc == Z_OK)
            continue;
        if (rc == Z_BUF_ERROR && z.zs.avail_in == 0 && fed >= source.size())
            return target; // the stream is cut short: keep what inflated up to the cut
        return std::string(source); // wrong header, corrupt data, checksum, dictionary
    }
}

std::string CompressBlob(std::string_view source)
{
    ZStream<deflateEnd> z;
    if (deflateInit(&z.zs, Z_DEFAULT_COMPRESSION) != Z_OK)
        return std::string(source);
    z.open = true;

    std::string target;
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kBufferSize);
    std::size_t fed = 0;
    for (;;) {
        Feed(z.zs, source, fed);
        const int flush = (fed >= source.size()) ? Z_FINISH : Z_NO_FLUSH;
        z.zs.next_out = buffer.get();
        z.zs.avail_out = static_cast<uInt>(kBufferSize);
        const int rc = deflate(&z.zs, flush);
        if (rc == Z_STREAM_ERROR)
            return std::string(source);
        target.append(reinterpret_cast<const char*>(buffer.get()), kBufferSize - z.zs.avail_out);
        if (rc == Z_STREAM_END)
            return target;
        // Z_OK and Z_BUF_ERROR (no progress this round) go on; deflate always progresses once
        // it has room for output and input or the finish request.
    }
}

void ReadBlobField(const Field& field, std::string& target)
{
    Guarded(field.FieldName(), [&] {
        if (field.Table().InflatedValue(field.Index(), target))
            return; // inflated while the row came in
        const ValueRef v = field.Value();
        if (v.kind == StorageKind::Blob) {
            target = DecompressOrCopy(v.s); // the stored bytes as they are (no code page applies)
            return;
        }
        target = DecompressOrCopy(field.AsBytes());
    });
}

void ReadBlobField(TAdsTable& table, std::string_view column, std::string& target)
{
    Guarded(column, [&] {
        const Field* field = table.FindField(column);
        if (field == nullptr)
            return;
        ReadBlobField(*field, target);
    });
}

void WriteBlobField(TAdsTable& table, std::string_view source, std::string_view column)
{
    table.FieldByName(column).SetBytes(CompressBlob(source));
}

} // namespace gs
