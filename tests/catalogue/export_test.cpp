// Reads the exported MIDNAM, REAPER and .ins texts back, with an XML parser and
// small readers, and compares them with the drum name table: whole maps, and a
// few kits of every map by their literal names.

#include "catalogue/drum_names.h"
#include "catalogue/export/instrument_definitions.h"
#include "catalogue/export/kit_selection.h"
#include "catalogue/export/midnam.h"
#include "catalogue/export/reaper.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace padscope {
namespace {

using NoteNames = std::map<int, std::string>;

// A few kits of every map, with names as the user should find them.
struct SpotCheck {
    int map, program;
    std::string_view kit;
    int sounding;
    std::map<int, std::string_view> notes;  // an empty name: the note is left out
};

const std::vector<SpotCheck> kSpotChecks{
    {0, 25, "TR-808", 63, {{24, ""}, {25, "Snare Roll"}, {87, "Open Surdo"}}},
    {1, 127, "CM64/32L", 67, {{34, ""}, {35, "CM Kick Drum"}, {108, "Bubble"}}},
    {2, 1, "STANDARD 2", 63, {{36, "Standard 2 Kick 1"}, {38, "Standard 2 Snare 1"}}},
    {2, 49, "ETHNIC", 75, {{25, "Finger Snap"}, {99, "Low Wood Block"}, {100, ""}}},
    {3, 53, "CYM and CLAPS", 65, {{32, "Reverse Open Hi-Hat"}, {96, "TR-707 Hand Clap"}}},
    {4, 60, "SFX 2", 60, {{31, "Acoustic Bass Mute Noise"}, {68, "Over Blow "}}},
    {4, 59, "RHYTHM FX 3", 103, {{90, "Reverse R&B Claps"}}},
    {4, 0, "STANDARD 1", 122, {{0, "[88] Standard 1 Kick 1"}, {127, "[Pro] House Snare 2"}}},
};

// The table's sounding notes of a kit; trailing blanks dropped if asked.
NoteNames tableNotes(const KitRef& kit, bool trimmed)
{
    NoteNames notes;
    for (int note = 0; note < kNoteCount; ++note) {
        std::string name(drumName(kit.program, note, kit.map));
        if (name != "Nothing")
            notes[note] = trimmed ? name.substr(0, name.find_last_not_of(' ') + 1) : name;
    }
    return notes;
}

void expectSpotCheck(const SpotCheck& check, const NoteNames& notes, bool trimmed)
{
    EXPECT_EQ(notes.size(), static_cast<std::size_t>(check.sounding)) << check.kit;
    for (const auto& [note, name] : check.notes) {
        std::string expected(name);
        if (trimmed)
            expected = expected.substr(0, expected.find_last_not_of(' ') + 1);
        if (expected.empty())
            EXPECT_FALSE(notes.contains(note)) << check.kit << " note " << note;
        else
            EXPECT_EQ(notes.contains(note) ? notes.at(note) : "(missing)", expected) << check.kit << " note " << note;
    }
}

struct Midnam {
    struct Patch {
        std::string name, noteList;
    };
    std::string model;
    std::map<int, std::map<int, Patch>> banks;  // Bank Select LSB -> program -> patch
    std::map<std::string, NoteNames> noteLists;
};

Midnam readMidnam(const std::string& text)
{
    Midnam doc;
    QXmlStreamReader xml(QByteArray::fromStdString(text));
    int bank = -1, program = -1;
    std::string list;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        const auto attr = [&](const char* key) { return xml.attributes().value(QLatin1String(key)).toString().toStdString(); };
        if (name == u"Model") {
            doc.model = xml.readElementText().toStdString();
        } else if (name == u"ControlChange" && attr("Control") == "32") {
            bank = std::stoi(attr("Value"));
        } else if (name == u"Patch") {
            program = std::stoi(attr("ProgramChange"));
            doc.banks[bank][program].name = attr("Name");
        } else if (name == u"UsesNoteNameList") {
            doc.banks[bank][program].noteList = attr("Name");
        } else if (name == u"NoteNameList") {
            list = attr("Name");
            doc.noteLists[list];
        } else if (name == u"Note") {
            doc.noteLists[list][std::stoi(attr("Number"))] = attr("Name");
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    return doc;
}

NoteNames readReaper(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "# MIDI note/CC name map");
    NoteNames notes;
    while (std::getline(in, line)) {
        const auto blank = line.find(' ');
        EXPECT_NE(blank, std::string::npos) << line;
        notes[std::stoi(line.substr(0, blank))] = line.substr(blank + 1);
    }
    return notes;
}

// Section (".Note Names") -> list ("[...]") -> its "key=value" lines in order.
using Ins = std::map<std::string, std::map<std::string, std::vector<std::pair<std::string, std::string>>>>;

Ins readIns(const std::string& text)
{
    Ins ins;
    std::istringstream in(text);
    std::string line, section, list;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line without CR LF: " << line;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '.') {
            section = line;
            ins[section];
        } else if (line.front() == '[') {
            list = line.substr(1, line.size() - 2);
            ins[section][list];
        } else {
            const auto eq = line.find('=');
            EXPECT_NE(eq, std::string::npos) << line;
            ins[section][list].emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    return ins;
}

NoteNames insNotes(const std::vector<std::pair<std::string, std::string>>& lines)
{
    NoteNames notes;
    for (const auto& [key, value] : lines)
        notes[std::stoi(key)] = value;
    return notes;
}

TEST(DrumExport, SelectionPicksOnlyPresentKits)
{
    EXPECT_EQ(selectKits({}).size(), 97u);
    const auto sc8850 = selectKits({.map = 4, .program = std::nullopt});
    EXPECT_EQ(sc8850.size(), 38u);
    EXPECT_EQ(sc8850.back(), (KitRef{127, 4}));  // CM64/32L: its names are there though its button is not
    EXPECT_TRUE(selectKits({.map = 1, .program = 13}).empty());  // HOUSE is not in the SC-55 map
    EXPECT_TRUE(selectKits({.map = std::nullopt, .program = 3}).empty());
    EXPECT_EQ(selectKits({.map = std::nullopt, .program = 127}).size(), 3u);

    EXPECT_EQ(programFromKit("26"), 25);
    EXPECT_EQ(programFromKit("tr-808"), 25);
    EXPECT_EQ(programFromKit("128"), 127);
    EXPECT_EQ(programFromKit("Standartd 2"), 1);
    EXPECT_EQ(programFromKit("standard 2"), 1);
    for (std::string_view bad : {"0", "129", "", "-1", "26x", "TR-8080"})
        EXPECT_EQ(programFromKit(bad), std::nullopt) << bad;
    EXPECT_EQ(mapFromKey("SC88Pro"), 3);
    EXPECT_EQ(mapFromKey("tg300b"), 0);
    EXPECT_EQ(mapFromKey("sc-88"), std::nullopt);
}

TEST(DrumExport, MidnamParsesBackToTheTable)
{
    const auto kits = selectKits({});
    std::ostringstream out;
    writeMidnam(out, kits);
    const Midnam doc = readMidnam(out.str());

    EXPECT_EQ(doc.model, "GS/XG drum maps");
    std::map<int, std::size_t> kitsPerBank;
    for (const auto& [bank, patches] : doc.banks)
        kitsPerBank[bank] = patches.size();
    EXPECT_EQ(kitsPerBank, (std::map<int, std::size_t>{{0, 10}, {1, 10}, {2, 14}, {3, 25}, {4, 38}}));
    for (const auto& kit : kits) {
        const auto& patch = doc.banks.at(kit.map).at(kit.program);
        ASSERT_TRUE(doc.noteLists.contains(patch.noteList)) << patch.noteList;
        EXPECT_EQ(doc.noteLists.at(patch.noteList), tableNotes(kit, false)) << patch.noteList;
    }
    for (const auto& check : kSpotChecks) {
        const auto& patch = doc.banks.at(check.map).at(check.program);
        EXPECT_EQ(patch.name, check.kit);
        expectSpotCheck(check, doc.noteLists.at(patch.noteList), false);
    }
    EXPECT_NE(out.str().find("<Note Number=\"90\" Name=\"Reverse R&amp;B Claps\"/>"), std::string::npos);
    EXPECT_NE(out.str().find("<Note Number=\"68\" Name=\"Over Blow \"/>"), std::string::npos);
}

TEST(DrumExport, MidnamOfOneMapHoldsOnlyItsKits)
{
    std::ostringstream out;
    writeMidnam(out, selectKits({.map = 1, .program = std::nullopt}));
    const Midnam doc = readMidnam(out.str());
    EXPECT_EQ(doc.model, "SC-55 drum map");
    ASSERT_EQ(doc.banks.size(), 1u);
    EXPECT_EQ(doc.banks.begin()->first, 1);
    EXPECT_EQ(doc.banks.at(1).size(), 10u);
    EXPECT_FALSE(doc.banks.at(1).contains(13));
    EXPECT_EQ(doc.banks.at(1).at(0).name, "STANDARD 1");
    EXPECT_EQ(doc.noteLists.size(), 10u);
    EXPECT_FALSE(doc.noteLists.at("SC-55 STANDARD 1").contains(0));  // "Nothing" on note 0
    EXPECT_EQ(doc.noteLists.at("SC-55 STANDARD 1").at(36), "Kick Drum 1");
}

TEST(DrumExport, ReaperFilesParseBackToTheTable)
{
    for (const auto& kit : selectKits({})) {
        std::ostringstream out;
        writeReaperNoteNames(out, kit);
        EXPECT_EQ(readReaper(out.str()), tableNotes(kit, true)) << reaperFileName(kit);
    }
    for (const auto& check : kSpotChecks) {
        std::ostringstream out;
        writeReaperNoteNames(out, {check.program, check.map});
        expectSpotCheck(check, readReaper(out.str()), true);
    }
    std::ostringstream sfx2;
    writeReaperNoteNames(sfx2, {60, 4});
    EXPECT_NE(sfx2.str().find("\n68 Over Blow\n"), std::string::npos);

    EXPECT_EQ(reaperFileName({25, 4}), "sc8850-026-tr-808.txt");
    EXPECT_EQ(reaperFileName({127, 1}), "sc55-128-cm64-32l.txt");
    EXPECT_EQ(reaperFileName({53, 3}), "sc88pro-054-cym-and-claps.txt");
    EXPECT_EQ(reaperFileName({1, 4}), "sc8850-002-standard-2.txt");
}

TEST(DrumExport, InstrumentDefinitionsParseBackToTheTable)
{
    const auto kits = selectKits({});
    std::ostringstream out;
    writeInstrumentDefinitions(out, kits);
    const Ins ins = readIns(out.str());

    for (std::string_view section : {".Patch Names", ".Note Names", ".Controller Names", ".RPN Names", ".NRPN Names", ".Instrument Definitions"})
        EXPECT_TRUE(ins.contains(std::string(section))) << section;
    const auto& instruments = ins.at(".Instrument Definitions");
    ASSERT_EQ(instruments.size(), 1u);
    EXPECT_EQ(instruments.begin()->first, "Padscope GS/XG Drum Maps");

    // Every Patch[] and Key[] line names a list that is there; the keys cover the table.
    std::map<int, std::string> patchLists;
    std::map<std::pair<int, int>, std::string> keyLists;
    bool drums = false;
    for (const auto& [key, value] : instruments.begin()->second) {
        int bank = -1, program = -1;
        if (std::sscanf(key.c_str(), "Patch[%d]", &bank) == 1)
            patchLists[bank] = value;
        else if (std::sscanf(key.c_str(), "Key[%d,%d]", &bank, &program) == 2)
            keyLists[{bank, program}] = value;
        else
            drums = drums || (key == "Drum[*,*]" && value == "1");
    }
    EXPECT_TRUE(drums);
    EXPECT_EQ(patchLists.size(), 5u);
    EXPECT_EQ(keyLists.size(), kits.size());
    for (const auto& kit : kits) {
        const auto& list = keyLists.at({kit.map, kit.program});
        ASSERT_TRUE(ins.at(".Note Names").contains(list)) << list;
        EXPECT_EQ(insNotes(ins.at(".Note Names").at(list)), tableNotes(kit, true)) << list;
    }
    for (const auto& check : kSpotChecks) {
        expectSpotCheck(check, insNotes(ins.at(".Note Names").at(keyLists.at({check.map, check.program}))), true);
        const auto& patches = ins.at(".Patch Names").at(patchLists.at(check.map));
        EXPECT_NE(std::find(patches.begin(), patches.end(), std::pair{std::to_string(check.program), std::string(check.kit)}),
                  patches.end())
            << check.kit;
    }
    EXPECT_EQ(ins.at(".Patch Names").at("Padscope SC-55 Drum Kits").size(), 10u);
    EXPECT_NE(out.str().find("\r\n68=Over Blow\r\n"), std::string::npos);
    EXPECT_NE(out.str().find("\r\n90=Reverse R&B Claps\r\n"), std::string::npos);
}

TEST(DrumExport, OneMapInstrumentIsNamedAfterIt)
{
    std::ostringstream out;
    writeInstrumentDefinitions(out, selectKits({.map = 0, .program = std::nullopt}));
    const Ins ins = readIns(out.str());
    const auto& instruments = ins.at(".Instrument Definitions");
    ASSERT_EQ(instruments.size(), 1u);
    EXPECT_EQ(instruments.begin()->first, "Padscope TG-300B(XG) Drums");
    EXPECT_EQ(instruments.begin()->second.front(), (std::pair<std::string, std::string>{"Patch[0]", "Padscope TG-300B(XG) Drum Kits"}));
    EXPECT_EQ(ins.at(".Note Names").size(), 10u);
}

}  // namespace
}  // namespace padscope
