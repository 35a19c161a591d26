#include "spool/GridLayoutTable.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/Error.h"
#include "base/Text.h"
#include "spool/CsvFormat.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <sstream>

namespace gs {

namespace {

constexpr std::array<const char*, 5> kFields = {"Grid", "User", "ID", "Colums", "Lines"};
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Records of a comma-separated text with '"' quoting; quoted values may hold separators and line
// breaks. A record ends at CR LF, a lone CR or a lone LF outside quotes; blank lines are skipped.
std::vector<std::vector<std::string>> ReadRecords(const std::string& text)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string value;
    bool quoted = false, anyValue = false;
    auto endValue = [&] {
        record.push_back(std::move(value));
        value.clear();
        anyValue = true;
    };
    auto endRecord = [&] {
        if (anyValue || !value.empty())
            endValue();
        if (!(record.size() == 1 && record[0].empty()))
            records.push_back(std::move(record));
        record.clear();
        anyValue = false;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    value += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                value += c;
            }
        } else if (c == '"') {
            quoted = true;
            anyValue = true;
        } else if (c == ',') {
            endValue();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endRecord();
        } else {
            value += c;
            anyValue = true;
        }
    }
    endRecord();
    return records;
}

} // namespace

std::string EncodeBase64(const std::string& bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string DecodeBase64(const std::string& text)
{
    std::string out;
    unsigned acc = 0;
    int bits = 0;
    for (char c : text) {
        const char* p = c ? std::strchr(kBase64, c) : nullptr;
        if (!p)
            continue; // padding, line breaks and anything else
        acc = (acc << 6) | static_cast<unsigned>(p - kBase64);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

std::vector<GridLayoutRow> GridLayoutTable::rowsOf(const std::string& key) const
{
    std::vector<GridLayoutRow> rows;
    for (const GridLayoutRow& r : rows_) {
        if (r.grid == key)
            rows.push_back(r);
    }
    return rows;
}

const GridLayoutRow* GridLayoutTable::find(int id) const
{
    const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const GridLayoutRow& r) { return r.id == id; });
    return it == rows_.end() ? nullptr : &*it;
}

int GridLayoutTable::append(const std::string& key, const std::string& user, const std::string& colums)
{
    const int id = ++highestId_;
    rows_.push_back({key, user, id, colums, {}});
    return id;
}

bool GridLayoutTable::edit(int id, const std::string& user, const std::string& colums)
{
    auto* row = const_cast<GridLayoutRow*>(find(id));
    if (!row)
        return false;
    row->user = user;
    row->colums = colums;
    return true;
}

bool GridLayoutTable::remove(int id)
{
    const auto it = std::find_if(rows_.begin(), rows_.end(), [id](const GridLayoutRow& r) { return r.id == id; });
    if (it == rows_.end())
        return false;
    rows_.erase(it);
    return true;
}

int GridLayoutTable::exchangeWithNeighbour(int id, int direction)
{
    auto* row = const_cast<GridLayoutRow*>(find(id));
    if (!row)
        return id;
    // The neighbour in the list of the same key: rows_ is kept in ascending ID order.
    GridLayoutRow* neighbour = nullptr;
    for (GridLayoutRow& r : rows_) {
        if (r.grid != row->grid || r.id == id)
            continue;
        if (direction < 0 && r.id < id && (!neighbour || r.id > neighbour->id))
            neighbour = &r;
        if (direction > 0 && r.id > id && (!neighbour || r.id < neighbour->id))
            neighbour = &r;
    }
    if (!neighbour)
        return id;
    std::swap(row->grid, neighbour->grid);
    std::swap(row->user, neighbour->user);
    std::swap(row->colums, neighbour->colums);
    return neighbour->id;
}

std::string GridLayoutTable::toText() const
{
    std::string text = CsvLine({kFields.begin(), kFields.end()}, ',');
    for (const GridLayoutRow& r : rows_)
        text += CsvLine({r.grid, r.user, std::to_string(r.id), EncodeBase64(r.colums), r.lines}, ',');
    return text;
}

std::vector<GridLayoutRow> GridLayoutTable::parseText(const std::string& text)
{
    const auto records = ReadRecords(text);
    std::vector<GridLayoutRow> rows;
    if (records.empty())
        return rows;
    std::array<int, kFields.size()> at{};
    at.fill(-1);
    for (size_t i = 0; i < records[0].size(); ++i) {
        for (size_t f = 0; f < kFields.size(); ++f) {
            if (EqualsNoCase(Trim(records[0][i]), kFields[f]))
                at[f] = static_cast<int>(i);
        }
    }
    if (at[0] < 0)
        throw Error("Die Spaltenliste hat keine Spalte \"Grid\"");
    auto value = [&](const std::vector<std::string>& rec, size_t f) -> std::string {
        return at[f] >= 0 && static_cast<size_t>(at[f]) < rec.size() ? rec[static_cast<size_t>(at[f])] : std::string();
    };
    int nextId = 0;
    for (size_t r = 1; r < records.size(); ++r) {
        GridLayoutRow row;
        row.grid = value(records[r], 0);
        if (row.grid.empty())
            continue;
        row.user = value(records[r], 1);
        row.id = StrToIntDef(Trim(value(records[r], 2)), 0);
        row.colums = DecodeBase64(value(records[r], 3));
        row.lines = value(records[r], 4);
        rows.push_back(std::move(row));
        nextId = std::max(nextId, rows.back().id);
    }
    // Rows without a usable ID get fresh ones after the highest, so every ID is unique.
    std::vector<int> seen;
    for (GridLayoutRow& row : rows) {
        if (row.id <= 0 || std::find(seen.begin(), seen.end(), row.id) != seen.end())
            row.id = ++nextId;
        seen.push_back(row.id);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const GridLayoutRow& a, const GridLayoutRow& b) { return a.id < b.id; });
    return rows;
}

void GridLayoutTable::load(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        rows_.clear();
        highestId_ = 0;
        return;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in.good() && !in.eof())
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden");
    std::vector<GridLayoutRow> rows;
    try {
        rows = parseText(Cp1252ToUtf8(bytes.str()));
    } catch (const Error& e) {
        throw Error("Die Datei " + file.string() + " ist keine Liste von Spaltenlayouts: " + e.what());
    }
    rows_ = std::move(rows);
    highestId_ = 0;
    for (const GridLayoutRow& r : rows_)
        highestId_ = std::max(highestId_, r.id);
}

void GridLayoutTable::save(const std::filesystem::path& file) const
{
    WriteFileAtomically(file, Utf8ToCp1252(toText()));
}

} // namespace gs
