#include "catalogue/export/midnam.h"

#include "catalogue/drum_names.h"
#include "catalogue/kits.h"

#include <ostream>
#include <string>

namespace padscope {

namespace {

constexpr std::string_view kNameSet = "Drum kits";

// Text fit for XML character data and for attribute values in double quotes.
std::string xmlEscaped(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&apos;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string noteListName(const KitRef& kit)
{
    return std::string(mapTitle(kit.map)) + ' ' + kitTitle(kit.program);
}

bool hasSoundingNote(const KitRef& kit)
{
    for (int note = 0; note < kNoteCount; ++note)
        if (sounding(drumName(kit.program, note, kit.map)))
            return true;
    return false;
}

// "SC-8850 drum map" when every kit comes from one map, else "GS/XG drum maps".
std::string modelName(std::span<const KitRef> kits)
{
    for (const auto& kit : kits)
        if (kit.map != kits.front().map)
            return "GS/XG drum maps";
    return kits.empty() ? std::string("GS/XG drum maps") : std::string(mapTitle(kits.front().map)) + " drum map";
}

void writePatchBank(std::ostream& out, int map, std::span<const KitRef> kits)
{
    const std::string title = xmlEscaped(mapTitle(map));
    out << "      <PatchBank Name=\"" << title << "\">\n"
        << "        <MIDICommands>\n"
        << "          <ControlChange Channel=\"10\" Control=\"0\" Value=\"0\"/>\n"
        << "          <ControlChange Channel=\"10\" Control=\"32\" Value=\"" << map << "\"/>\n"
        << "        </MIDICommands>\n"
        << "        <PatchNameList Name=\"" << title << " kits\">\n";
    for (const auto& kit : kits) {
        if (kit.map != map)
            continue;
        out << "          <Patch Number=\"" << kit.program + 1 << "\" Name=\"" << xmlEscaped(kitTitle(kit.program))
            << "\" ProgramChange=\"" << kit.program << '"';
        if (hasSoundingNote(kit))
            out << ">\n            <UsesNoteNameList Name=\"" << xmlEscaped(noteListName(kit)) << "\"/>\n"
                << "          </Patch>\n";
        else
            out << "/>\n";
    }
    out << "        </PatchNameList>\n"
        << "      </PatchBank>\n";
}

void writeNoteNameList(std::ostream& out, const KitRef& kit)
{
    out << "    <NoteNameList Name=\"" << xmlEscaped(noteListName(kit)) << "\">\n";
    for (int note = 0; note < kNoteCount; ++note) {
        const auto name = drumName(kit.program, note, kit.map);
        if (sounding(name))
            out << "      <Note Number=\"" << note << "\" Name=\"" << xmlEscaped(name) << "\"/>\n";
    }
    out << "    </NoteNameList>\n";
}

}  // namespace

void writeMidnam(std::ostream& out, std::span<const KitRef> kits)
{
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE MIDINameDocument PUBLIC \"-//MIDI Manufacturers Association//DTD MIDINameDocument 1.0//EN\" "
           "\"http://www.midi.org/dtds/MIDINameDocument10.dtd\">\n"
           "<MIDINameDocument>\n"
           "  <Author>padscope-drumtable</Author>\n"
           "  <MasterDeviceNames>\n"
           "    <Manufacturer>Padscope</Manufacturer>\n"
        << "    <Model>" << xmlEscaped(modelName(kits)) << "</Model>\n"
        << "    <CustomDeviceMode Name=\"" << kNameSet << "\">\n"
        << "      <ChannelNameSetAssignments>\n"
        << "        <ChannelNameSetAssign Channel=\"10\" NameSet=\"" << kNameSet << "\"/>\n"
        << "      </ChannelNameSetAssignments>\n"
        << "    </CustomDeviceMode>\n";
    // A channel name set needs at least one patch bank; with no kits there is none.
    if (!kits.empty()) {
        out << "    <ChannelNameSet Name=\"" << kNameSet << "\">\n"
            << "      <AvailableForChannels>\n"
            << "        <AvailableChannel Channel=\"10\" Available=\"true\"/>\n"
            << "      </AvailableForChannels>\n";
        for (int map = 0; map < kMapCount; ++map) {
            bool used = false;
            for (const auto& kit : kits)
                used = used || kit.map == map;
            if (used)
                writePatchBank(out, map, kits);
        }
        out << "    </ChannelNameSet>\n";
    }
    for (int map = 0; map < kMapCount; ++map)
        for (const auto& kit : kits)
            if (kit.map == map && hasSoundingNote(kit))
                writeNoteNameList(out, kit);
    out << "  </MasterDeviceNames>\n"
           "</MIDINameDocument>\n";
}

}  // namespace padscope
