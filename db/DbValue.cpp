#include "db/DbValue.h"

namespace gs {

namespace {
int Rank(StorageKind k)
{
    switch (k) {
    case StorageKind::Null: return 0;
    case StorageKind::Integer:
    case StorageKind::Real: return 1;
    case StorageKind::Text: return 2;
    case StorageKind::Blob: return 3;
    }
    return 0;
}
} // namespace

int CompareValues(const ValueRef& a, const ValueRef& b)
{
    const int ra = Rank(a.kind), rb = Rank(b.kind);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    switch (ra) {
    case 0: return 0;
    case 1:
        if (a.kind == StorageKind::Integer && b.kind == StorageKind::Integer)
            return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
        {
            const double x = a.kind == StorageKind::Integer ? static_cast<double>(a.i) : a.d;
            const double y = b.kind == StorageKind::Integer ? static_cast<double>(b.i) : b.d;
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    default: {
        const int c = a.s.compare(b.s);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
}

} // namespace gs
