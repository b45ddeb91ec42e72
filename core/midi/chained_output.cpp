#include "core/midi/chained_output.h"

#include "core/platform/exception_text.h"
#include "core/midi/rtmidi_api.h"

#include <system_error>

namespace padscope {

void ChainedOutput::append(std::unique_ptr<MidiOutput> backend)
{
    if (backend)
        backends_.push_back({{}, {}, std::move(backend), true});
}

void ChainedOutput::append(Factory make)
{
    Backend backend{std::move(make), {}, nullptr, false};
    try {
        backend.made = std::async(std::launch::async, backend.make);
    } catch (const std::system_error&) {
        // No thread to be had: the backend is made at its first use instead.
    }
    backends_.push_back(std::move(backend));
}

MidiOutput* ChainedOutput::backend(std::size_t number) const
{
    Backend& b = backends_[number];
    if (!b.ready) {
        b.ready = true;
        // A factory that fails adds no ports, as one that makes nothing.
        try {
            b.output = b.made.valid() ? b.made.get() : b.make();
        } catch (...) {
            qCWarning(lcMidi, "A MIDI output could not be made: %s", currentExceptionText().c_str());
        }
    }
    return b.output.get();
}

int ChainedOutput::portCount() const
{
    int count = 0;
    for (std::size_t number = 0; number < backends_.size(); ++number)
        if (const MidiOutput* b = backend(number))
            count += b->portCount();
    return count;
}

ChainedOutput::Place ChainedOutput::locate(int index) const
{
    if (index < 0)
        return {};
    for (std::size_t number = 0; number < backends_.size(); ++number) {
        MidiOutput* b = backend(number);
        const int count = b ? b->portCount() : 0;
        if (index < count)
            return {b, number, index};
        index -= count;
    }
    return {};
}

std::string ChainedOutput::portKey(int index) const
{
    // Two backends may use the same key for ports of their own.
    const Place p = locate(index);
    return p.backend ? std::to_string(p.number) + '/' + p.backend->portKey(p.index) : std::string{};
}

void ChainedOutput::refresh()
{
    for (std::size_t number = 0; number < backends_.size(); ++number)
        if (MidiOutput* b = backend(number))
            b->refresh();
}

std::string ChainedOutput::portName(int index) const
{
    const Place p = locate(index);
    return p.backend ? p.backend->portName(p.index) : std::string{};
}

bool ChainedOutput::open(int index)
{
    close();
    failedOpen_.clear();
    const Place p = locate(index);
    if (!p.backend)
        return false;
    if (!p.backend->open(p.index)) {
        failedOpen_ = p.backend->openFailure();
        return false;
    }
    open_ = p.backend;
    return true;
}

bool ChainedOutput::openFailedLate() const
{
    return open_ && open_->openFailedLate();
}

void ChainedOutput::setAudioFailureHandler(AudioFailureHandler handler)
{
    for (std::size_t number = 0; number < backends_.size(); ++number)
        if (MidiOutput* b = backend(number))
            b->setAudioFailureHandler(handler);
}

void ChainedOutput::setPortFailureHandler(PortFailureHandler handler)
{
    for (std::size_t number = 0; number < backends_.size(); ++number)
        if (MidiOutput* b = backend(number))
            b->setPortFailureHandler(handler);
}

void ChainedOutput::close()
{
    if (open_)
        open_->close();
    open_ = nullptr;
}

bool ChainedOutput::loadSoundFonts(std::vector<std::filesystem::path> files, SoundFontsLoaded done)
{
    return open_ && open_->loadSoundFonts(std::move(files), std::move(done));
}

}  // namespace padscope
