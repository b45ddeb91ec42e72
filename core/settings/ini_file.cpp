#include "core/settings/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace padscope {

namespace {

// Blanks and control characters; bytes of 0x80 and above belong to the
// system's code page (Shift-JIS among them) and are left alone.
bool isBlankOrControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::string lowerName(std::string_view name)
{
    std::string lower(name);
    std::ranges::transform(lower, lower.begin(), asciiLower);
    return lower;
}

// The line of a section that holds `key`, in any letter case.
template <typename Lines>
auto keyLine(Lines& lines, std::string_view key)
{
    return std::ranges::find_if(lines, [key](const auto& line) { return line.key && sameName(*line.key, key); });
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";


int digitValue(char c, int base)
{
    int digit = -1;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

}  // namespace

std::string storedForm(std::string_view text)
{
    std::string result(text);
    std::ranges::replace(result, '\r', ' ');
    std::ranges::replace(result, '\n', ' ');
    return std::string(trimmed(result));
}

std::optional<int> parseIniInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;

    // The magnitude may reach 2^31 only for a negative number.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (char c : text) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

IniFile IniFile::parse(std::string_view text)
{
    IniFile ini;
    Section* current = nullptr;  // the section being read

    // Some editors put a byte order mark in front, which would hide the
    // first section.
    std::size_t pos = 0;
    if (text.starts_with(kByteOrderMark)) {
        ini.byteOrderMark_ = true;
        pos = kByteOrderMark.size();
    }
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size())
            pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;

        if (line.empty() || line.front() == ';')
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            // A section named again goes on where its first appearance left off.
            current = &ini.findOrAddSection(trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        if (!current)
            continue;

        auto& lines = current->lines;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            lines.push_back(Line{std::nullopt, std::string(line)});
        else
            lines.push_back(Line{std::string(trimmed(line.substr(0, equals))),
                                 std::string(trimmed(line.substr(equals + 1)))});
    }
    return ini;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const
{
    const auto found = sectionIndex_.find(lowerName(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

IniFile::Section* IniFile::findSection(std::string_view name)
{
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

IniFile::Section& IniFile::findOrAddSection(std::string_view name)
{
    const auto [found, added] = sectionIndex_.try_emplace(lowerName(name), sections_.size());
    if (added)
        sections_.push_back(Section{std::string(name), {}});
    return sections_[found->second];
}

const IniFile::Line* IniFile::findLine(std::string_view section, std::string_view key) const
{
    const Section* s = findSection(section);
    if (!s)
        return nullptr;
    const auto found = keyLine(s->lines, key);
    return found == s->lines.end() ? nullptr : &*found;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const
{
    return findLine(section, key) != nullptr;
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const Line* line = findLine(section, key);
    if (!line)
        return defaultValue;
    return parseIniInteger(line->value).value_or(defaultValue);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    const Line* line = findLine(section, key);
    return line ? line->value : std::string(defaultValue);
}

bool IniFile::writeInteger(std::string_view section, std::string_view key, int value)
{
    return writeString(section, key, std::to_string(value));
}

bool IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string keyText = storedForm(key);
    // "k=v" would split elsewhere, ";k" would read as a comment and "[k=v]"
    // as a section.
    if (keyText.find('=') != std::string::npos || keyText.starts_with(';') || keyText.starts_with('['))
        return false;

    Section& s = findOrAddSection(storedForm(section));
    const auto found = keyLine(s.lines, keyText);
    if (found == s.lines.end())
        s.lines.push_back(Line{std::move(keyText), storedForm(value)});
    else
        *found = Line{std::move(keyText), storedForm(value)};
    return true;
}

std::string IniFile::serialize() const
{
    std::string text(byteOrderMark_ ? kByteOrderMark : std::string_view{});
    for (const Section& section : sections_) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const Line& line : section.lines) {
            if (line.key) {
                text += *line.key;
                text += '=';
            }
            text += line.value;
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

std::vector<IniFile::Entry> IniFile::entries() const
{
    std::vector<Entry> result;
    for (const Section& section : sections_)
        for (const Line& line : section.lines)
            result.push_back(Entry{section.name, line.key, line.value});
    return result;
}

std::vector<std::string> IniFile::sectionNames() const
{
    std::vector<std::string> names;
    for (const Section& section : sections_)
        names.push_back(section.name);
    return names;
}

}  // namespace padscope
