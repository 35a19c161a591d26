#pragma once
// The content of a blob column as an order pattern holds it. A value read from the table is kept as
// stored (a zlib stream or plain bytes) and inflated the first time someone reads it, so loading a
// pattern costs no inflation of texts nobody looks at; what a reader sees is exactly what
// DecompressOrCopy of the stored value gives.
#include <string>
#include <string_view>

namespace gs {

class BlobStream {
public:
    BlobStream() = default;

    // The content (inflated on first use).
    const std::string& Content() const
    {
        if (stored_) {
            Inflate();
        }
        return data_;
    }
    std::string_view View() const { return Content(); }
    size_t Size() const { return Content().size(); }
    bool Empty() const { return Content().empty(); }

    // The content itself.
    void SetContent(std::string content)
    {
        data_ = std::move(content);
        stored_ = false;
    }
    // A column value as stored: a zlib stream or the plain bytes.
    void SetStored(std::string stored)
    {
        data_ = std::move(stored);
        stored_ = !data_.empty();
    }
    void Clear()
    {
        data_.clear();
        stored_ = false;
    }

    friend bool operator==(const BlobStream& a, const BlobStream& b) { return a.Content() == b.Content(); }

private:
    void Inflate() const;

    mutable std::string data_;
    mutable bool stored_ = false;
};

} // namespace gs
