#include "base/IniFile.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/Error.h"
#include "base/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace gs {

namespace {

// The file's bytes; false when it does not exist; raises when it exists but cannot be read.
bool ReadWholeFile(const std::filesystem::path& file, std::string& bytes)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw Error("Die Datei " + file.string() + " kann nicht gelesen werden (" + SystemErrorText(errno) + ")");
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throw Error("Die Datei " + file.string() + " kann nicht gelesen werden (" + SystemErrorText(err) + ")");
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

std::string EntryKey(std::string_view section, std::string_view key)
{
    return LowerAscii(Trim(section)) + '\n' + LowerAscii(Trim(key));
}

// Line breaks would start lines of their own in the file.
std::string OneLine(std::string_view text)
{
    std::string r(text);
    for (char& c : r)
        if (c == '\r' || c == '\n')
            c = ' ';
    return r;
}

bool IsEmptyLine(const std::string& text) { return Trim(text).empty(); } // blanks, controls, end-of-file mark

} // namespace

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file))
{
    std::string bytes;
    if (ReadWholeFile(file_, bytes))
        parse(Cp1252ToUtf8(bytes));
    else
        blocks_.push_back(Block{});
}

IniFile::~IniFile()
{
    try {
        UpdateFile();
    } catch (...) {
        // The destructor must not throw; UpdateFile() reports failures to callers that ask.
    }
}

void IniFile::parse(std::string_view utf8)
{
    blocks_.clear();
    blocks_.push_back(Block{});
    for (std::string& lineText : SplitLines(utf8)) {
        const std::string t = Trim(lineText);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            Block b;
            b.name = Trim(std::string_view(t).substr(1, t.size() - 2));
            b.header = std::move(lineText);
            b.isSection = true;
            blocks_.push_back(std::move(b));
            continue;
        }
        Line line{std::move(lineText), std::string::npos};
        if (!t.empty() && t.front() != ';')
            line.equals = line.text.find('=');
        blocks_.back().lines.push_back(std::move(line));
    }
    rebuildIndex();
}

void IniFile::rebuildIndex()
{
    sections_.clear();
    entries_.clear();
    for (size_t b = 0; b < blocks_.size(); ++b) {
        const Block& block = blocks_[b];
        if (!block.isSection)
            continue;
        const std::string lowerName = LowerAscii(block.name);
        sections_.emplace(lowerName, b);
        for (size_t l = 0; l < block.lines.size(); ++l) {
            const Line& line = block.lines[l];
            if (line.equals != std::string::npos)
                entries_.emplace(EntryKey(block.name, std::string_view(line.text).substr(0, line.equals)),
                                 Position{b, l});
        }
    }
}

const IniFile::Line* IniFile::find(std::string_view section, std::string_view key) const
{
    const auto it = entries_.find(EntryKey(section, key));
    return it == entries_.end() ? nullptr : &blocks_[it->second.block].lines[it->second.line];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const Line* line = find(section, key);
    return line ? line->text.substr(line->equals + 1) : std::string(defaultValue);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    int value = 0;
    return TryParseInt32(Trim(ReadString(section, key, "")), value) ? value : defaultValue;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = Trim(OneLine(section));
    const std::string keyText = Trim(OneLine(key));
    const std::string valueText = OneLine(value);
    const std::string entryKey = EntryKey(sectionName, keyText);

    if (const auto it = entries_.find(entryKey); it != entries_.end()) {
        Line& line = blocks_[it->second.block].lines[it->second.line];
        if (std::string_view(line.text).substr(line.equals + 1) == valueText)
            return;
        line.text.resize(line.equals + 1);
        line.text += valueText;
        modified_ = true;
        return;
    }

    size_t b = 0;
    if (const auto it = sections_.find(LowerAscii(sectionName)); it != sections_.end()) {
        b = it->second;
    } else {
        // A new section at the end of the file, but before a closing end-of-file mark.
        Block block;
        block.name = sectionName;
        block.header = "[" + sectionName + "]";
        block.isSection = true;
        std::vector<Line>& last = blocks_.back().lines;
        size_t tail = last.size();
        while (tail > 0 && IsEmptyLine(last[tail - 1].text))
            --tail;
        bool eofMark = false;
        for (size_t i = tail; i < last.size(); ++i)
            eofMark = eofMark || last[i].text.find('\x1A') != std::string::npos;
        std::vector<Line> moved;
        if (eofMark) {
            moved.assign(last.begin() + static_cast<std::ptrdiff_t>(tail), last.end());
            last.resize(tail);
        }
        blocks_.push_back(std::move(block));
        blocks_.back().lines = std::move(moved);
        b = blocks_.size() - 1;
        sections_.emplace(LowerAscii(sectionName), b);
    }

    // At the end of the section: after its last non-empty line, before blank lines that separate it.
    std::vector<Line>& lines = blocks_[b].lines;
    size_t at = lines.size();
    while (at > 0 && IsEmptyLine(lines[at - 1].text))
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{keyText + "=" + valueText, keyText.size()});
    // Only empty lines (never indexed) moved, so the index stays valid.
    entries_.emplace(entryKey, Position{b, at});
    modified_ = true;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(std::string_view section) const
{
    return sections_.count(LowerAscii(Trim(section))) != 0;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const { return find(section, key) != nullptr; }

std::vector<std::string> IniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    const std::string lowerName = LowerAscii(Trim(section));
    for (const Block& block : blocks_) {
        if (!block.isSection || LowerAscii(block.name) != lowerName)
            continue;
        for (const Line& line : block.lines) {
            if (line.equals == std::string::npos)
                continue;
            std::string key = Trim(std::string_view(line.text).substr(0, line.equals));
            bool seen = false;
            for (const auto& k : keys)
                seen = seen || EqualsNoCase(k, key);
            if (!seen)
                keys.push_back(std::move(key));
        }
    }
    return keys;
}

std::vector<std::string> IniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const Block& block : blocks_) {
        bool seen = !block.isSection;
        for (const auto& n : names)
            seen = seen || EqualsNoCase(n, block.name);
        if (!seen)
            names.push_back(block.name);
    }
    return names;
}

void IniFile::DeleteKey(std::string_view section, std::string_view key)
{
    const std::string entryKey = EntryKey(section, key);
    bool removed = false;
    // Every occurrence goes, so that no later duplicate comes to light.
    for (auto it = entries_.find(entryKey); it != entries_.end(); it = entries_.find(entryKey)) {
        auto& lines = blocks_[it->second.block].lines;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(it->second.line));
        removed = true;
        rebuildIndex();
    }
    if (removed)
        modified_ = true;
}

void IniFile::EraseSection(std::string_view section)
{
    const std::string lowerName = LowerAscii(Trim(section));
    const size_t before = blocks_.size();
    std::erase_if(blocks_, [&](const Block& b) { return b.isSection && LowerAscii(b.name) == lowerName; });
    if (blocks_.size() != before) {
        rebuildIndex();
        modified_ = true;
    }
}

std::string IniFile::text() const
{
    std::string out;
    for (const Block& block : blocks_) {
        if (block.isSection) {
            out += block.header;
            out += "\r\n";
        }
        for (const Line& line : block.lines) {
            out += line.text;
            out += "\r\n";
        }
    }
    return out;
}

void IniFile::UpdateFile()
{
    if (!modified_)
        return;
    WriteFileAtomically(file_, Utf8ToCp1252(text()));
    modified_ = false;
}

} // namespace gs
