#include "orders/BlobStream.h"

#include "orders/BlobFields.h"

namespace gs {

void TBlobStream::inflate() const
{
    data_ = DecompressOrCopy(data_);
    stored_ = false;
}

} // namespace gs
