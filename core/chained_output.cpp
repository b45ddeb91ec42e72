#include "chained_output.h"

namespace padscope {

void ChainedOutput::append(std::unique_ptr<MidiOutput> backend)
{
    if (backend)
        backends_.push_back(std::move(backend));
}

int ChainedOutput::portCount() const
{
    int count = 0;
    for (const auto& b : backends_)
        count += b->portCount();
    return count;
}

ChainedOutput::Place ChainedOutput::locate(int index) const
{
    if (index < 0)
        return {};
    for (std::size_t number = 0; number < backends_.size(); ++number) {
        const int count = backends_[number]->portCount();
        if (index < count)
            return {backends_[number].get(), number, index};
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
    for (const auto& b : backends_)
        b->refresh();
}

std::string ChainedOutput::portName(int index) const
{
    const Place p = locate(index);
    return p.backend ? p.backend->portName(p.index) : std::string{};
}

PortProbe ChainedOutput::probe(int index) const
{
    const Place p = locate(index);
    return p.backend ? p.backend->probe(p.index) : PortProbe::NoSuchPort;
}

bool ChainedOutput::open(int index)
{
    close();
    const Place p = locate(index);
    if (!p.backend || !p.backend->open(p.index))
        return false;
    open_ = p.backend;
    return true;
}

bool ChainedOutput::openFailedLate() const
{
    return open_ && open_->openFailedLate();
}

void ChainedOutput::setAudioFailureHandler(AudioFailureHandler handler)
{
    for (const auto& backend : backends_)
        backend->setAudioFailureHandler(handler);
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

void ChainedOutput::reset()
{
    if (open_)
        open_->reset();
}

void ChainedOutput::sendShort(std::uint32_t word)
{
    if (open_)
        open_->sendShort(word);
}

void ChainedOutput::sendSysex(std::span<const std::uint8_t> bytes)
{
    if (open_)
        open_->sendSysex(bytes);
}

}  // namespace padscope
