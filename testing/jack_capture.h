#pragma once

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <string>

namespace padscope::test {

// A JACK client with two audio inputs, in_1 and in_2, that watches what
// reaches them: the loudest sample since clear(), and the JACK time of the
// first sound since arm().
class JackCapture {
public:
    // Offered as physical playback ports, the inputs are where a synth that
    // connects its outputs by itself plays; `physical` fails (inactive) on a
    // server that has playback ports of its own.
    JackCapture(const std::string& name, bool physical);
    ~JackCapture();
    JackCapture(const JackCapture&) = delete;
    JackCapture& operator=(const JackCapture&) = delete;

    bool active() const { return active_; }
    // Connects `client`'s left and right outputs to the inputs.
    bool connectFrom(const std::string& client);
    bool portExists(const std::string& name) const;

    void clear() { peak_.store(0.0f); }
    float peak() const { return peak_.load(); }
    // Waits until the peak passes `level` or the time is up.
    bool waitForPeak(float level, std::chrono::milliseconds timeout) const;

    jack_time_t now() const { return jack_get_time(); }
    void arm();
    // 0 until a sound was heard since arm().
    jack_time_t heardAt() const { return heardAt_.load(); }

private:
    static int process(jack_nframes_t frames, void* arg);

    std::string name_;
    jack_client_t* client_ = nullptr;
    jack_port_t* inputs_[2] = {nullptr, nullptr};
    bool active_ = false;
    std::atomic<float> peak_{0.0f};
    std::atomic<bool> armed_{false};
    std::atomic<jack_time_t> heardAt_{0};
};

}  // namespace padscope::test
