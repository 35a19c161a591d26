#include "db/BlobStream.h"

#include "db/BlobFields.h"

namespace gs {

void TBlobStream::Inflate() const
{
    data_ = DecompressOrCopy(data_);
    stored_ = false;
}

} // namespace gs
