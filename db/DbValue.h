#pragma once
// Stored values of the database layer: one SQLite storage class with its payload. ValueRef views a
// value that lives elsewhere (a fetched row, the edit buffer, a blob cache); DbValue owns one.
#include <cstdint>
#include <string>
#include <string_view>

namespace gs {

enum class StorageKind : std::uint8_t { Null, Integer, Real, Text, Blob };

struct ValueRef {
    StorageKind kind = StorageKind::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string_view s; // Text and Blob

    bool IsNull() const { return kind == StorageKind::Null; }
};

struct DbValue {
    StorageKind kind = StorageKind::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string s;

    static DbValue Integer(std::int64_t v)
    {
        DbValue r;
        r.kind = StorageKind::Integer;
        r.i = v;
        return r;
    }
    static DbValue Real(double v)
    {
        DbValue r;
        r.kind = StorageKind::Real;
        r.d = v;
        return r;
    }
    static DbValue Text(std::string v)
    {
        DbValue r;
        r.kind = StorageKind::Text;
        r.s = std::move(v);
        return r;
    }
    static DbValue Blob(std::string v)
    {
        DbValue r;
        r.kind = StorageKind::Blob;
        r.s = std::move(v);
        return r;
    }
    static DbValue From(const ValueRef& v)
    {
        DbValue r;
        r.kind = v.kind;
        r.i = v.i;
        r.d = v.d;
        r.s.assign(v.s.data(), v.s.size());
        return r;
    }
    ValueRef Ref() const { return ValueRef{kind, i, d, s}; }
    bool IsNull() const { return kind == StorageKind::Null; }
};

// SQLite's ordering of two values (NULL < numbers < text < blob; numbers by value, text and blobs
// bytewise): <0, 0, >0.
int CompareValues(const ValueRef& a, const ValueRef& b);

} // namespace gs
