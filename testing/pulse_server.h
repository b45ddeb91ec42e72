#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <string>

namespace padscope::test {

// A private PulseAudio server with a null sink, for end-to-end tests,
// started by servers.sh as the scripts start theirs. Its socket lives in a folder of its own, which this process's clients find
// through PULSE_SERVER; started again after kill(), it listens on the same
// socket, as a desktop's server does when it comes back.
class PulseServer {
public:
    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // pulseaudio and parec are installed.
    static bool installed();
    // Starts the server and waits until it accepts clients.
    bool start();
    // Kills the server at once (SIGKILL), as a crash would.
    void kill();
    // The PULSE_SERVER value of its socket.
    std::string address() const;

private:
    QTemporaryDir folder_;
    std::unique_ptr<QProcess> server_;
};

// Records the server's null sink and keeps its loudest sample.
class SinkRecorder {
public:
    explicit SinkRecorder(const PulseServer& server);
    ~SinkRecorder();
    // Starts recording and waits until the sink's samples arrive.
    bool start();
    // Forgets what was heard so far.
    void clear();
    // Waits until a sample louder than `level` is heard, or the time is up.
    bool waitForPeak(float level, std::chrono::milliseconds timeout);
    float peak() const { return peak_; }

private:
    void readSamples();

    std::string address_;
    QProcess parec_;
    QByteArray pending_;
    bool recording_ = false;  // samples have arrived
    float peak_ = 0.0f;
};

}  // namespace padscope::test
