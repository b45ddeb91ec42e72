#include "testing/jack_capture.h"

#include "testing/wait_until.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace padscope::test {

JackCapture::JackCapture(const std::string& name, bool physical) : name_(name)
{
    jack_status_t status{};
    client_ = jack_client_open(name_.c_str(), JackNoStartServer, &status);
    if (!client_)
        return;
    unsigned long flags = JackPortIsInput;
    if (physical) {
        const char** playback =
            jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput | JackPortIsPhysical);
        const bool serverHasPlayback = playback && playback[0];
        jack_free(playback);
        if (serverHasPlayback)
            return;  // the synth would connect to those instead
        flags |= JackPortIsPhysical | JackPortIsTerminal;
    }
    inputs_[0] = jack_port_register(client_, "in_1", JACK_DEFAULT_AUDIO_TYPE, flags, 0);
    inputs_[1] = jack_port_register(client_, "in_2", JACK_DEFAULT_AUDIO_TYPE, flags, 0);
    jack_set_process_callback(client_, process, this);
    active_ = inputs_[0] && inputs_[1] && jack_activate(client_) == 0;
}

JackCapture::~JackCapture()
{
    if (client_)
        jack_client_close(client_);
}

bool JackCapture::connectFrom(const std::string& client)
{
    return jack_connect(client_, (client + ":left").c_str(), (name_ + ":in_1").c_str()) == 0 &&
           jack_connect(client_, (client + ":right").c_str(), (name_ + ":in_2").c_str()) == 0;
}

bool JackCapture::portExists(const std::string& name) const
{
    return jack_port_by_name(client_, name.c_str()) != nullptr;
}

bool JackCapture::waitForPeak(float level, std::chrono::milliseconds timeout) const
{
    const auto end = std::chrono::steady_clock::now() + scaledLimit(timeout);
    while (std::chrono::steady_clock::now() < end) {
        if (peak() > level)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return peak() > level;
}

void JackCapture::arm()
{
    heardAt_ = 0;
    armed_ = true;
}

int JackCapture::process(jack_nframes_t frames, void* arg)
{
    auto* self = static_cast<JackCapture*>(arg);
    float loudest = self->peak_.load();
    for (jack_port_t* port : self->inputs_) {
        const auto* samples = static_cast<const float*>(jack_port_get_buffer(port, frames));
        for (jack_nframes_t i = 0; i < frames; ++i) {
            const float level = std::abs(samples[i]);
            loudest = std::max(loudest, level);
            if (level > 1e-6f && self->armed_.load() && self->armed_.exchange(false))
                self->heardAt_ = jack_get_time();
        }
    }
    self->peak_.store(loudest);
    return 0;
}

}  // namespace padscope::test
