#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace padscope {

// The settings file's text held in memory: sections in file order, each with
// its lines in order. Reading follows the file's own rules (any line end,
// trimmed lines, ";" comments, names without regard to ASCII letter case);
// writing replaces a key's line in place or appends it, and serialize()
// renders the whole file again with CR LF line ends. A UTF-8 byte order mark
// at the start is passed over when reading and written again in front.
//
// Only plain C++: the fuzz target builds this file on its own.
class IniFile {
public:
    // One line of a section. A line without "=" names no key: `key` is empty
    // and `value` holds the line's text.
    struct Entry {
        std::string section;
        std::optional<std::string> key;
        std::string value;

        bool operator==(const Entry&) const = default;
    };

    static IniFile parse(std::string_view text);

    // The key's value as a decimal or hexadecimal integer that fits in 32
    // bits signed, else `defaultValue`.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // The key's value, which may be empty; `defaultValue` when the key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    bool hasKey(std::string_view section, std::string_view key) const;

    // Stores the value under the key: an existing line is replaced in place
    // and spelt as `key`, a new one goes to the end of its section, a new
    // section to the end of the file. Line breaks in the section name, key or
    // value become blanks and blanks at either end are dropped, since the file
    // could not give them back. Returns false and changes nothing when the key
    // cannot be stored so that it reads back as itself: it holds "=" or begins
    // with ";" or "[".
    bool writeInteger(std::string_view section, std::string_view key, int value);
    bool writeString(std::string_view section, std::string_view key, std::string_view value);

    std::string serialize() const;

    // Every line of every section, in file order.
    std::vector<Entry> entries() const;
    std::vector<std::string> sectionNames() const;

    bool operator==(const IniFile&) const = default;

private:
    struct Line {
        std::optional<std::string> key;
        std::string value;

        bool operator==(const Line&) const = default;
    };
    struct Section {
        std::string name;
        std::vector<Line> lines;

        bool operator==(const Section&) const = default;
    };

    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    Section& findOrAddSection(std::string_view name);
    const Line* findLine(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
    // Index into sections_ by name in lower case, so that a file of many
    // sections reads in time that grows with its size only.
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    bool byteOrderMark_ = false;
};

// The integer rules of the settings file, on its own: optional sign, then
// decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X".
std::optional<int> parseIniInteger(std::string_view text);

// What the file gives back of a value written to it: one line (line breaks
// become blanks), without blanks or control characters at either end.
std::string storedForm(std::string_view text);

}  // namespace padscope
