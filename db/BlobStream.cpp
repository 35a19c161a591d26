#include "db/BlobStream.h"

#include "db/BlobFields.h"

namespace gs {

void BlobStream::Inflate() const
{
    data_ = DecompressOrCopy(data_);
    stored_ = false;
}

} // namespace gs
