#include "pending_output.h"

#include <system_error>

namespace padscope {

PendingOutput::PendingOutput(Factory make) : make_(std::move(make))
{
    try {
        made_ = std::async(std::launch::async, make_);
    } catch (const std::system_error&) {
        // No thread to be had: the backend is made at its first use instead.
    }
}

// Waits for the factory, whose thread must not outlive what it uses.
PendingOutput::~PendingOutput() = default;

MidiOutput* PendingOutput::backend() const
{
    if (!ready_) {
        ready_ = true;
        backend_ = made_.valid() ? made_.get() : make_();
    }
    return backend_.get();
}

int PendingOutput::portCount() const
{
    const MidiOutput* out = backend();
    return out ? out->portCount() : 0;
}

std::string PendingOutput::portName(int index) const
{
    const MidiOutput* out = backend();
    return out ? out->portName(index) : std::string();
}

std::string PendingOutput::portKey(int index) const
{
    const MidiOutput* out = backend();
    return out ? out->portKey(index) : std::string();
}

void PendingOutput::refresh()
{
    if (MidiOutput* out = backend())
        out->refresh();
}

PortProbe PendingOutput::probe(int index) const
{
    const MidiOutput* out = backend();
    return out ? out->probe(index) : PortProbe::NoSuchPort;
}

bool PendingOutput::open(int index)
{
    MidiOutput* out = backend();
    return out && out->open(index);
}

bool PendingOutput::openFailedLate() const
{
    const MidiOutput* out = backend();
    return out && out->openFailedLate();
}

void PendingOutput::setAudioFailureHandler(AudioFailureHandler handler)
{
    if (MidiOutput* out = backend())
        out->setAudioFailureHandler(std::move(handler));
}

void PendingOutput::close()
{
    if (MidiOutput* out = backend())
        out->close();
}

bool PendingOutput::loadSoundFonts(std::vector<std::filesystem::path> files, SoundFontsLoaded done)
{
    MidiOutput* out = backend();
    return out && out->loadSoundFonts(std::move(files), std::move(done));
}

void PendingOutput::reset()
{
    if (MidiOutput* out = backend())
        out->reset();
}

void PendingOutput::sendShort(std::uint32_t word)
{
    if (MidiOutput* out = backend())
        out->sendShort(word);
}

void PendingOutput::sendSysex(std::span<const std::uint8_t> bytes)
{
    if (MidiOutput* out = backend())
        out->sendSysex(bytes);
}

}  // namespace padscope
