#pragma once
// The saved column layouts of the grid print dialog: the in-memory table KM with the fields Grid
// (the layout key: the grid's name followed by its layout suffix), User (the name shown), ID (the
// list order), Colums (the grid's column set as bytes) and Lines (kept, not used). All layouts of all
// grids live in one file, USERGRIDOUT.TXT beside the program; the dialog shows the rows of one key.
//
// File form (Windows-1252, CR LF after every line, written atomically so a failed save keeps the old
// file whole):
//     "Grid","User","ID","Colums","Lines"
//     "DBGrid_CURRGW1","Nur Beträge","1","R1NDT0xVTU5TIDEN...","""
// Every value is quoted with '"' (a quote inside doubled) and separated by ','; a value may hold line
// breaks. Colums holds binary bytes, so it is written in base64 (RFC 4648, no line breaks), which
// survives the code page and any text editor; an empty column set is an empty value. Loading accepts
// the columns in any order by their header names and skips rows without a Grid value.
//
// Failures: LoadGridLayouts and SaveGridLayouts raise gs::Error naming the file and the cause; the
// table in memory is unchanged by a failed load.
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

inline constexpr const char* GridLayoutFileName = "USERGRIDOUT.TXT";

struct GridLayoutRow {
    std::string grid;   // layout key
    std::string user;   // layout name shown to the user
    int id = 0;         // row identity and list order
    std::string colums; // the grid's column set, as bytes
    std::string lines;  // not used; kept as loaded
};

class GridLayoutTable {
public:
    // Rows of one layout key in list order (ascending ID).
    std::vector<GridLayoutRow> rowsOf(const std::string& key) const;
    const std::vector<GridLayoutRow>& allRows() const { return rows_; }
    const GridLayoutRow* find(int id) const;

    // Appends a layout under key with the next ID (never one used before in this table); returns it.
    int append(const std::string& key, const std::string& user, const std::string& colums);
    // Changes the name and the column set of a row; false when there is no such row.
    bool edit(int id, const std::string& user, const std::string& colums);
    bool remove(int id);
    // Moves the layout one place up (towards the smaller neighbour ID of the same key) or down by
    // exchanging Grid, User and Colums with the neighbour; the rows keep their IDs. Returns the ID that
    // now holds the moved layout, or id itself when there is no neighbour.
    int moveUp(int id) { return exchangeWithNeighbour(id, -1); }
    int moveDown(int id) { return exchangeWithNeighbour(id, +1); }

    void load(const std::filesystem::path& file); // a missing file gives an empty table
    void save(const std::filesystem::path& file) const;

    // The file text (UTF-8; save converts to Windows-1252) and its reader.
    std::string toText() const;
    static std::vector<GridLayoutRow> parseText(const std::string& text);

private:
    int exchangeWithNeighbour(int id, int direction);
    std::vector<GridLayoutRow> rows_;
    int highestId_ = 0;
};

// base64 of bytes and back (invalid characters are skipped).
std::string EncodeBase64(const std::string& bytes);
std::string DecodeBase64(const std::string& text);

} // namespace gs
