// padscope-drumgen: turns the drum-set lists in catalogue/data into the constant
// table that the program compiles in.
//
//   padscope-drumgen <data folder> <output header>
//
// The data folder holds one folder per drum map, named "<map index>-<name>", and
// in it one file per kit, named "<program>-<name>.txt" (program 0-based). A kit
// file lists the notes on which the kit sounds, one "note<TAB>name" line each;
// blank lines and lines starting with '#' are comments. A name may be written in
// double quotes to keep a blank at its end. Notes that a kit file leaves out play
// nothing and get the entry "Nothing".
//
// The output is a header of constant arrays: the distinct names as one run of
// text with their start offsets, the distinct kits as 128 name numbers each, and
// for every program and map the kit it uses (0 when the map lacks that kit). Any fault in the data stops the
// build with a message naming the file and line.

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kPrograms = 128;
constexpr int kNotes = 128;
constexpr int kMaps = 5;
constexpr std::size_t kMaxNameLength = 40;
constexpr std::string_view kNothing = "Nothing";

using Kit = std::array<std::string, kNotes>;
using KitIndices = std::array<std::uint16_t, kNotes>;

struct DataError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const fs::path& file, int line, const std::string& what)
{
    std::ostringstream out;
    out << file.string();
    if (line > 0)
        out << ':' << line;
    out << ": " << what;
    throw DataError(out.str());
}

bool allowedChar(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view(" -.#!&^[]").find(c) != std::string_view::npos;
}

// The number at the start of a file or folder name, as in "3-sc88pro" or "048-orchestra.txt".
std::optional<int> leadingNumber(const std::string& name)
{
    std::size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9')
        ++digits;
    if (digits == 0 || digits > 3 || digits >= name.size() || name[digits] != '-')
        return std::nullopt;
    return std::stoi(name.substr(0, digits));
}

int parseNote(const fs::path& file, int line, const std::string& text)
{
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        fail(file, line, "note number expected, found \"" + text + "\"");
    const int note = std::stoi(text);
    if (note >= kNotes)
        fail(file, line, "note " + text + " is outside 0..127");
    return note;
}

std::string parseName(const fs::path& file, int line, std::string text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    else if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        fail(file, line, "a name with a blank at either end must be written in double quotes");
    if (text.empty())
        fail(file, line, "empty name");
    if (text.size() > kMaxNameLength)
        fail(file, line, "name longer than 40 characters: \"" + text + "\"");
    for (char c : text)
        if (!allowedChar(c))
            fail(file, line, std::string("character '") + c + "' is not allowed in a name: \"" + text + "\"");
    if (text == kNothing)
        fail(file, line, "leave the note out instead of naming it \"Nothing\"");
    return text;
}

Kit readKit(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        fail(file, 0, "cannot be read");
    Kit kit;
    std::array<bool, kNotes> seen{};
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty() || text.front() == '#')
            continue;
        const auto tab = text.find('\t');
        if (tab == std::string::npos)
            fail(file, line, "expected \"note<TAB>name\"");
        const int note = parseNote(file, line, text.substr(0, tab));
        if (seen[note])
            fail(file, line, "note " + std::to_string(note) + " is listed twice");
        seen[note] = true;
        kit[note] = parseName(file, line, text.substr(tab + 1));
    }
    for (auto& name : kit)
        if (name.empty())
            name = kNothing;
    return kit;
}

struct Table {
    std::vector<std::string> names;               // distinct names, in order of first use
    std::vector<KitIndices> kits;                 // distinct kits
    std::array<std::array<int, kMaps>, kPrograms> kitOf{};  // 0 = absent, else kits index + 1
};

Table readData(const fs::path& root)
{
    if (!fs::is_directory(root))
        fail(root, 0, "is not a folder");

    std::array<std::array<std::optional<Kit>, kMaps>, kPrograms> kits;
    std::array<bool, kMaps> mapSeen{};
    for (const auto& mapDir : fs::directory_iterator(root)) {
        if (!mapDir.is_directory())
            continue;
        const auto map = leadingNumber(mapDir.path().filename().string());
        if (!map || *map >= kMaps)
            fail(mapDir.path(), 0, "map folders are named \"<map 0..4>-<name>\"");
        if (mapSeen[*map])
            fail(mapDir.path(), 0, "a second folder for map " + std::to_string(*map));
        mapSeen[*map] = true;
        for (const auto& entry : fs::directory_iterator(mapDir.path())) {
            const auto& file = entry.path();
            if (!entry.is_regular_file() || file.extension() != ".txt")
                continue;
            const auto program = leadingNumber(file.filename().string());
            if (!program || *program >= kPrograms)
                fail(file, 0, "kit files are named \"<program 0..127>-<name>.txt\"");
            auto& slot = kits[*program][*map];
            if (slot)
                fail(file, 0, "a second file for program " + std::to_string(*program));
            slot = readKit(file);
        }
    }

    Table table;
    std::map<std::string, std::uint16_t, std::less<>> nameIndex;
    std::map<KitIndices, int> kitIndex;
    for (int program = 0; program < kPrograms; ++program) {
        for (int map = 0; map < kMaps; ++map) {
            const auto& kit = kits[program][map];
            if (!kit)
                continue;
            KitIndices indices{};
            for (int note = 0; note < kNotes; ++note) {
                const auto& name = (*kit)[note];
                auto found = nameIndex.find(name);
                if (found == nameIndex.end()) {
                    if (table.names.size() > UINT16_MAX)
                        fail(root, 0, "too many distinct names");
                    found = nameIndex.emplace(name, static_cast<std::uint16_t>(table.names.size())).first;
                    table.names.push_back(name);
                }
                indices[note] = found->second;
            }
            auto [row, added] = kitIndex.emplace(indices, static_cast<int>(table.kits.size()));
            if (added)
                table.kits.push_back(indices);
            if (table.kits.size() > UINT8_MAX)
                fail(root, 0, "too many distinct kits");
            table.kitOf[program][map] = row->second + 1;
        }
    }
    return table;
}

void writeHeader(const Table& table, std::ostream& out)
{
    out << "// Generated by padscope-drumgen from catalogue/data. Do not edit.\n"
           "#pragma once\n\n"
           "#include <cstdint>\n\n"
           "namespace padscope::drumtable {\n\n"
           "// Every distinct drum sound name, one after the other; name i runs from\n"
           "// kNameStart[i] to kNameStart[i + 1].\n"
           "inline constexpr char kNameText[] =\n";
    std::vector<std::size_t> starts{0};
    for (const auto& name : table.names) {
        out << "    \"" << name << "\"\n";
        starts.push_back(starts.back() + name.size());
    }
    if (starts.back() > UINT16_MAX)
        throw DataError("the names take more than 65535 characters");
    out << "    ;\n\n"
           "inline constexpr std::uint16_t kNameStart[] = {";
    for (std::size_t i = 0; i < starts.size(); ++i)
        out << (i % 16 == 0 ? "\n    " : " ") << starts[i] << ',';
    out << "\n};\n\n"
           "// Every distinct kit: the number of the name on each note.\n"
           "inline constexpr std::uint16_t kKits[][128] = {\n";
    for (const auto& kit : table.kits) {
        out << "    {";
        for (int note = 0; note < kNotes; ++note)
            out << (note % 16 == 0 ? (note == 0 ? "" : "\n     ") : " ") << kit[note] << ',';
        out << "},\n";
    }
    out << "};\n\n"
           "// [program][map]: 0 when the map lacks the kit, else its row in kKits plus one.\n"
           "inline constexpr std::uint8_t kKitOf[128][5] = {\n";
    for (int program = 0; program < kPrograms; ++program) {
        out << "    {";
        for (int map = 0; map < kMaps; ++map)
            out << table.kitOf[program][map] << (map + 1 < kMaps ? ", " : "");
        out << "},  // " << program << '\n';
    }
    out << "};\n\n}  // namespace padscope::drumtable\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: padscope-drumgen <data folder> <output header>\n";
        return 2;
    }
    const fs::path output = argv[2];
    try {
        const Table table = readData(argv[1]);
        std::ostringstream text;
        writeHeader(table, text);
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out << text.str();
        out.close();
        if (!out)
            fail(output, 0, "cannot be written");
    } catch (const std::exception& e) {
        std::error_code ignored;
        fs::remove(output, ignored);
        std::cerr << "padscope-drumgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
