#include "core/synth/synth_port.h"

#include "core/platform/exception_text.h"
#include "core/synth/synth_log.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

namespace padscope {

namespace {

using Clock = std::chrono::steady_clock;

bool isNoteOn(std::span<const std::uint8_t> message)
{
    return message.size() > 2 && (message[0] & 0xF0) == 0x90 && message[2] != 0;
}

// How long destruction waits for closed ports to finish tearing down.
constexpr std::chrono::milliseconds kTeardownWaitAtExit{250};

// Longest a released note may ring on after the idle time before the audio
// stops anyway: some SoundFont loops fade out over minutes.
constexpr std::chrono::seconds kLongestTail{10};

// How often fonts of an earlier kit are tried again when no audio output
// wakes the worker: the caller renders, and the last voices end.
constexpr std::chrono::milliseconds kRetiredFontsRetry{50};

}  // namespace

bool readsSamples(std::span<const std::uint8_t> message)
{
    return !message.empty() && (message[0] == 0xF0 || (message[0] & 0xF0) == 0xC0);
}

// Where the port's openings report that no audio output plays.
struct SynthPort::FailureSink {
    std::mutex mutex;
    AudioFailureHandler handler;

    void report(const AudioFailure& failure)
    {
        const std::lock_guard lock(mutex);
        if (handler)
            handler(failure);
    }
};

// The fonts chosen last that played: every later opening plays them.
struct SynthPort::ChosenFonts {
    std::mutex mutex;
    std::vector<std::filesystem::path> files;

    std::vector<std::filesystem::path> get()
    {
        const std::lock_guard lock(mutex);
        return files;
    }
    void set(std::vector<std::filesystem::path> chosen)
    {
        const std::lock_guard lock(mutex);
        files = std::move(chosen);
    }
};

// One opening of the port: the worker thread that makes the engine, loads,
// starts, stops and finally releases it, and the one queue that hands it
// what the sending thread sends. That thread, the GUI's, never waits for
// the worker.
class SynthPort::Worker {
public:
    Worker(SynthOptions options, EngineFactory makeEngine, std::vector<std::filesystem::path> fonts,
           std::shared_ptr<FailureSink> failures)
        : options_(options), makeEngine_(std::move(makeEngine)), fonts_(std::move(fonts)),
          failures_(std::move(failures))
    {
    }

    // Starts the worker; false when no thread could be had.
    bool start(const std::shared_ptr<Worker>& self);
    // Asks the worker to release everything and end.
    void stop();
    bool waitForEnd(Clock::time_point deadline) { return ended_.wait_until(deadline) == std::future_status::ready; }

    void send(std::span<const std::uint8_t> message, bool noteOn);
    // Hands the worker a request to play in turn with what is sent.
    void request(PortEvent event);
    // Waits until the SoundFonts are read and all that was sent is played.
    bool waitUntilLoaded();
    bool loadFailed() const;
    bool waitForAudio();
    std::string driverName() const;
    SynthEngine* engine() { return engine_.get(); }

private:
    void run();
    void serve();
    void load();
    void playPending(std::unique_lock<std::mutex>& lock);
    // Plays `fonts` in place of the opening's own; what failed where it cannot.
    std::optional<FailureReport> fontsPlayed(const std::vector<std::filesystem::path>& fonts);
    // Plays through the audio output, which starts at a Note On and stops
    // after a silence; the rest take mutex_ held in `lock` and may let go of it.
    void serveAudio();
    void dropLostOutput(std::unique_lock<std::mutex>& lock);
    // Starts the output asked for; false when a JACK call never returned.
    bool startWanted(std::unique_lock<std::mutex>& lock);
    void stopWhenIdle(std::unique_lock<std::mutex>& lock, Clock::time_point lastNote, Clock::time_point& lastSound);
    bool startDriver();

    const SynthOptions options_;
    const EngineFactory makeEngine_;
    const std::vector<std::filesystem::path> fonts_;  // chosen ones; empty: the port's own
    std::vector<std::filesystem::path> playing_ = fonts_;  // the worker's alone: chosen ones playing now
    const std::shared_ptr<FailureSink> failures_;
    // Made on the worker; then only play(), needsWorker(), outputDead() and
    // setSilent() come from the sender, the first two only while direct_ is set.
    std::unique_ptr<SynthEngine> engine_;
    // The worker's alone: whether fonts of earlier kits are still held, and
    // whether the user has been told that no audio output plays.
    bool retiredFonts_ = false;
    bool failureReported_ = false;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_:
    // Played by the worker, in order: what was sent while the SoundFonts
    // loaded, or from a message that reads samples on.
    std::vector<PortEvent> pending_;
    bool loadDone_ = false;
    bool loadOk_ = false;
    bool stopping_ = false;
    bool audioWanted_ = false;
    bool audioStarting_ = false;
    bool audioFailed_ = false;
    bool outputLost_ = false;  // a Note On found the running output dead
    bool broken_ = false;      // the worker ended on an exception
    std::string driverName_;

    // The sender plays its messages itself: loaded, and nothing pending.
    // Set false by the sender alone, true by the worker alone, both under mutex_.
    std::atomic<bool> direct_{false};
    std::atomic<bool> audioUp_{false};
    std::atomic<Clock::rep> lastNoteOn_{0};
    std::promise<void> endPromise_;
    std::future<void> ended_ = endPromise_.get_future();
};

bool SynthPort::Worker::start(const std::shared_ptr<Worker>& self)
{
    try {
        std::thread([self] { self->run(); }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void SynthPort::Worker::stop()
{
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
}

void SynthPort::Worker::send(std::span<const std::uint8_t> message, bool noteOn)
{
    // An output whose sound server has gone renders no more: the note waits
    // for the worker to open a new one.
    const bool lost = noteOn && options_.audio == SynthAudio::Device && audioUp_.load() && engine_->outputDead();
    // Reading a kit's samples can take long on a cold disk: not on the
    // sender's thread, which is the GUI's.
    if (lost || !direct_.load(std::memory_order_acquire) || (loadOk_ && engine_->needsWorker(message))) {
        const std::lock_guard lock(mutex_);
        if (loadDone_ && (!loadOk_ || broken_))
            return;  // nothing to play them
        direct_.store(false);
        outputLost_ = outputLost_ || lost;
        pending_.push_back({PortEvent::Kind::Message, MidiMessage(message)});
        if (noteOn && options_.audio == SynthAudio::Device) {
            lastNoteOn_.store(Clock::now().time_since_epoch().count());
            audioWanted_ = true;
        }
        changed_.notify_all();
        return;
    }
    if (!loadOk_)
        return;  // written before direct_ is first set, and never again
    if (noteOn)
        engine_->setSilent(false);
    engine_->play(message);
    if (!noteOn || options_.audio != SynthAudio::Device)
        return;
    // Paired with the idle stop in serveAudio(): either the worker sees this
    // note, or this sees the audio stopped and asks for it again.
    lastNoteOn_.store(Clock::now().time_since_epoch().count());
    if (!audioUp_.load()) {
        const std::lock_guard lock(mutex_);
        audioWanted_ = true;
        changed_.notify_all();
    }
}

void SynthPort::Worker::request(PortEvent event)
{
    const std::lock_guard lock(mutex_);
    direct_.store(false);
    pending_.push_back(std::move(event));
    changed_.notify_all();
}

bool SynthPort::Worker::waitUntilLoaded()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return loadDone_ && (direct_.load() || broken_); });
    return loadOk_ && !broken_;
}

bool SynthPort::Worker::loadFailed() const
{
    const std::lock_guard lock(mutex_);
    return loadDone_ && (!loadOk_ || broken_);
}

bool SynthPort::Worker::waitForAudio()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || (loadDone_ && !audioWanted_ && !audioStarting_); });
    return !driverName_.empty();
}

std::string SynthPort::Worker::driverName() const
{
    const std::lock_guard lock(mutex_);
    return driverName_;
}

void SynthPort::Worker::run()
{
    try {
        serve();
    } catch (...) {
        // An exception at a thread's top ends the program: here it ends this
        // opening alone, which then plays nothing. The engine stays until the
        // port lets go of the worker, as the sender may still be in play().
        qCCritical(lcSynth, "The built-in synth stopped: %s", currentExceptionText().c_str());
        const std::lock_guard lock(mutex_);
        direct_.store(false);
        broken_ = true;
        loadDone_ = true;
        audioWanted_ = false;
        audioStarting_ = false;
        pending_.clear();
        driverName_.clear();
        changed_.notify_all();
    }
    endPromise_.set_value();
}

void SynthPort::Worker::serve()
{
    load();
    if (options_.audio == SynthAudio::Device && engine_) {
        if (engine_->keepsAudio()) {
            const std::lock_guard lock(mutex_);
            audioWanted_ = loadOk_;
        }
        serveAudio();
    } else {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!pending_.empty()) {
                playPending(lock);
            } else if (!retiredFonts_) {
                changed_.wait(lock);
            } else {
                // The voices end as the caller renders them.
                changed_.wait_for(lock, kRetiredFontsRetry);
                lock.unlock();
                retiredFonts_ = engine_->unloadRetiredFonts();
                lock.lock();
            }
        }
    }
    if (engine_)
        engine_->release();
    const std::lock_guard lock(mutex_);
    driverName_.clear();
}

void SynthPort::Worker::load()
{
    // An opening closed before it got this far (the first start opens,
    // closes and opens again) reads no SoundFont and plays nothing it was
    // sent: only the last opening is heard.
    const auto closed = [this] {
        const std::lock_guard lock(mutex_);
        return stopping_;
    };
    // The first opening loads the synth's module here, off the sender's thread.
    if (makeEngine_ && !closed())
        engine_ = makeEngine_(fonts_);
    const bool ok = engine_ && !closed() && engine_->load();
    std::unique_lock lock(mutex_);
    loadDone_ = true;
    loadOk_ = ok;
    if (stopping_)
        pending_.clear();
    // What was sent meanwhile plays now, if there is anything to play it.
    playPending(lock);
    if (!ok)
        audioWanted_ = false;  // nothing to play
    lastNoteOn_.store(Clock::now().time_since_epoch().count());
}

void SynthPort::Worker::playPending(std::unique_lock<std::mutex>& lock)
{
    // The sender is held only while the list is handed over; what it sends
    // meanwhile joins the next list, until none is left.
    while (!pending_.empty()) {
        std::vector<PortEvent> events;
        events.swap(pending_);
        lock.unlock();
        for (const PortEvent& event : events) {
            if (event.kind == PortEvent::Kind::LoadSoundFonts) {
                if (event.done)
                    event.done(fontsPlayed(event.fonts));
            } else if (loadOk_) {
                engine_->playOnWorker(event.message);
            }
        }
        if (loadOk_) {
            engine_->catchUp();
            retiredFonts_ = engine_->unloadRetiredFonts();
        }
        lock.lock();
    }
    direct_.store(true, std::memory_order_release);
    changed_.notify_all();
}

std::optional<FailureReport> SynthPort::Worker::fontsPlayed(const std::vector<std::filesystem::path>& fonts)
{
    // An opening made for these very fonts (a synth whose own would not
    // play opens again with them) has read them already.
    if (loadOk_ && fonts == playing_)
        return std::nullopt;
    // A synth whose own fonts would not play still says which of these
    // cannot be played.
    if (!engine_)
        return FailureReport{Failure::SoundFontNotASoundFont, fonts.front().string()};
    std::optional<FailureReport> failure = engine_->replaceFonts(fonts);
    if (!failure)
        playing_ = fonts;
    return failure;
}

void SynthPort::Worker::serveAudio()
{
    std::unique_lock lock(mutex_);
    Clock::time_point lastSound{};
    while (!stopping_) {
        if (outputLost_) {
            dropLostOutput(lock);
            continue;
        }
        if (!pending_.empty()) {
            playPending(lock);
            continue;
        }
        if (retiredFonts_) {
            // Tried at every wake: at the latest when the audio falls idle.
            lock.unlock();
            retiredFonts_ = engine_->unloadRetiredFonts();
            lock.lock();
        }
        const bool running = engine_->audioRunning();
        if (audioWanted_ && running) {
            audioWanted_ = false;  // asked for while it was running, or silent
            engine_->setSilent(false);
            audioUp_ = true;
            changed_.notify_all();
        }
        if (audioWanted_ && !running) {
            if (!startWanted(lock))
                return;
            continue;
        }
        if (!running || engine_->silent()) {
            changed_.wait(lock);
            continue;
        }
        const Clock::time_point lastNote{Clock::duration(lastNoteOn_.load())};
        const Clock::time_point quietSince = std::max(lastNote, lastSound);
        if (Clock::now() - quietSince < options_.idleStop) {
            changed_.wait_until(lock, quietSince + options_.idleStop);
            continue;
        }
        stopWhenIdle(lock, lastNote, lastSound);
    }
}

void SynthPort::Worker::dropLostOutput(std::unique_lock<std::mutex>& lock)
{
    // Its voices were never heard and would never end: they go before the
    // note that found it dead plays on a new output.
    outputLost_ = false;
    audioUp_ = false;
    // Cleared before the output goes: no caller may see it playing then.
    driverName_.clear();
    lock.unlock();
    const std::string_view driver = engine_->driver();
    qCWarning(lcSynth, "The audio output (%.*s) stopped playing; opening one again", static_cast<int>(driver.size()),
              driver.data());
    engine_->stopAudio(true);
    lock.lock();
}

bool SynthPort::Worker::startWanted(std::unique_lock<std::mutex>& lock)
{
    audioStarting_ = true;
    audioWanted_ = false;
    lock.unlock();
    const bool started = startDriver();
    lock.lock();
    audioStarting_ = false;
    audioUp_ = started;
    changed_.notify_all();
    return !engine_->abandoned();
}

void SynthPort::Worker::stopWhenIdle(std::unique_lock<std::mutex>& lock, Clock::time_point lastNote,
                                     Clock::time_point& lastSound)
{
    // A held note, or a released one still ringing (a long cymbal), keeps
    // the audio going; a tail that never fades is cut after a while, and
    // so is every voice of an output that no longer renders them.
    lock.unlock();
    const bool dead = engine_->outputDead();
    const SynthEngine::Voices voices = dead ? SynthEngine::Voices{} : engine_->voices();
    const bool tailTooLong = Clock::now() - lastNote >= options_.idleStop + kLongestTail;
    if (dead || (voices.ringing && !voices.held && tailTooLong))
        engine_->allSoundsOff();
    lock.lock();
    if (voices.held || (voices.ringing && !tailTooLong)) {
        lastSound = Clock::now();
        return;
    }
    audioUp_ = false;
    if (lastNoteOn_.load() != lastNote.time_since_epoch().count()) {
        audioUp_ = true;  // a note came meanwhile
        return;
    }
    if (engine_->driver() == "jack" && engine_->keepsAudio() && !dead) {
        // A JACK client joins the graph too slowly to stop: it stays, and
        // hands JACK silence without waking FluidSynth.
        engine_->setSilent(true);
        qCDebug(lcSynth, "Audio output silent after %lld ms without sound",
                static_cast<long long>(options_.idleStop.count()));
        return;
    }
    driverName_.clear();
    lock.unlock();
    engine_->stopAudio(dead);
    lock.lock();
    qCDebug(lcSynth, "Audio output stopped after %lld ms of silence", static_cast<long long>(options_.idleStop.count()));
}

bool SynthPort::Worker::startDriver()
{
    const std::optional<AudioFailure> failure = engine_->startAudio();
    const std::lock_guard lock(mutex_);
    if (!failure) {
        audioFailed_ = false;
        driverName_ = engine_->driver();
        return true;
    }
    if (!audioFailed_)
        qCWarning(lcSynth, "The built-in synth cannot play: %s", failure->detail.c_str());
    audioFailed_ = true;
    if (!failureReported_) {
        failureReported_ = true;
        failures_->report(*failure);
    }
    return false;
}

SynthPort::SynthPort(std::string portName, SynthOptions options, EngineFactory makeEngine)
    : SinglePortOutput(std::move(portName)),
      options_(options),
      makeEngine_(std::move(makeEngine)),
      failureSink_(std::make_shared<FailureSink>()),
      chosenFonts_(std::make_shared<ChosenFonts>())
{
}

SynthPort::~SynthPort()
{
    close();
    // A PulseAudio stream takes more than a second to close: what is left of
    // the teardown then ends with the process.
    const Clock::time_point deadline = Clock::now() + kTeardownWaitAtExit;
    for (const auto& worker : closing_) {
        if (!worker->waitForEnd(deadline)) {
            qCDebug(lcSynth, "The built-in synth's audio output is still closing");
            break;
        }
    }
}

bool SynthPort::open(int index)
{
    close();
    if (index != 0)
        return false;
    auto worker = std::make_shared<Worker>(options_, makeEngine_, chosenFonts_->get(), failureSink_);
    if (!worker->start(worker)) {
        qCWarning(lcSynth, "The built-in synth cannot play: no thread could be started");
        return false;
    }
    worker_ = std::move(worker);
    filter_.forget();
    return true;
}

bool SynthPort::openFailedLate() const
{
    return worker_ && worker_->loadFailed();
}

void SynthPort::setAudioFailureHandler(AudioFailureHandler handler)
{
    const std::lock_guard lock(failureSink_->mutex);
    failureSink_->handler = std::move(handler);
}

bool SynthPort::loadSoundFonts(std::vector<std::filesystem::path> files, SoundFontsLoaded done)
{
    if (!worker_ || files.empty())
        return false;
    auto tell = [chosen = chosenFonts_, files, done = std::move(done)](const std::optional<FailureReport>& failure) {
        if (!failure)
            chosen->set(files);
        if (done)
            done(failure);
    };
    if (worker_->loadFailed()) {
        // Nothing plays that could be kept: an opening of their own tries them.
        chosenFonts_->set(files);
        open(0);
        if (!worker_)
            return false;
    }
    worker_->request({PortEvent::Kind::LoadSoundFonts, {}, 0, std::move(files), std::move(tell)});
    return true;
}

void SynthPort::close()
{
    // Workers whose thread has ended are dropped; the rest wait for it.
    std::erase_if(closing_, [](const auto& worker) { return worker->waitForEnd(Clock::now()); });
    if (!worker_)
        return;
    worker_->stop();
    closing_.push_back(std::move(worker_));
}

void SynthPort::send(std::span<const std::uint8_t> bytes)
{
    if (!worker_ || bytes.empty())
        return;
    if (bytes.front() == 0xF0) {
        if (bytes.size() < 2 || (bytes.size() == 2 && bytes.back() == 0xF7))
            return;  // nothing inside the frame
        filter_.forget();  // a reset, for one
        worker_->send(bytes, false);
        return;
    }
    const RedundantMessageFilter::Messages messages = filter_.filter(bytes);
    for (std::size_t i = 0; i < messages.size(); ++i)
        worker_->send(messages[i], isNoteOn(messages[i]));
}

std::vector<std::filesystem::path> SynthPort::chosenSoundFonts() const
{
    return chosenFonts_->get();
}

bool SynthPort::waitUntilLoaded()
{
    return worker_ && worker_->waitUntilLoaded();
}

bool SynthPort::waitForAudio()
{
    return worker_ && worker_->waitForAudio();
}

std::string SynthPort::audioDriver() const
{
    return worker_ ? worker_->driverName() : std::string();
}

SynthEngine* SynthPort::loadedEngine()
{
    if (!worker_ || !worker_->waitUntilLoaded())
        return nullptr;
    return worker_->engine();
}

}  // namespace padscope
