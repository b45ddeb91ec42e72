#include "testing/pulse_server.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace padscope::test {

namespace {

// Whether `pactl info` reaches the server at `address`.
bool serverAnswers(const std::string& address)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("-s"), QString::fromStdString(address), QStringLiteral("info")});
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

}  // namespace

PulseServer::PulseServer() = default;

PulseServer::~PulseServer()
{
    if (server_ && server_->state() != QProcess::NotRunning) {
        server_->terminate();
        if (!server_->waitForFinished(10000)) {
            server_->kill();
            server_->waitForFinished(3000);
        }
    }
}

bool PulseServer::installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty();
}

std::string PulseServer::address() const
{
    return "unix:" + folder_.filePath(QStringLiteral("pulse/native")).toStdString();
}

bool PulseServer::start()
{
    if (!folder_.isValid())
        return false;
    server_ = std::make_unique<QProcess>();
    server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_->setStandardOutputFile(QProcess::nullDevice());
    server_->start(QStringLiteral("bash"),
                   {QStringLiteral(PADSCOPE_SERVERS_SCRIPT), QStringLiteral("pulse"), folder_.path()});
    if (!server_->waitForStarted(5000))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000 && server_->state() == QProcess::Running) {
        if (serverAnswers(address()))
            return true;
        QThread::msleep(50);
    }
    return false;
}

void PulseServer::kill()
{
    if (!server_)
        return;
    server_->kill();
    server_->waitForFinished(5000);
}

SinkRecorder::SinkRecorder(const PulseServer& server) : address_(server.address()) {}

SinkRecorder::~SinkRecorder()
{
    parec_.kill();
    parec_.waitForFinished(3000);
}

bool SinkRecorder::start()
{
    parec_.setProcessChannelMode(QProcess::SeparateChannels);
    parec_.setStandardErrorFile(QProcess::nullDevice());
    // Asking for a short latency keeps the null sink rendering in short
    // blocks. Left to itself it renders up to 2 s ahead and reads a stream
    // opened meanwhile only once that has played: the synth's first two
    // seconds on a new output would then sound late, all at once.
    parec_.start(QStringLiteral("parec"),
                 {QStringLiteral("-s"), QString::fromStdString(address_), QStringLiteral("-d"),
                  QStringLiteral("null.monitor"), QStringLiteral("--raw"), QStringLiteral("--format=float32le"),
                  QStringLiteral("--channels=2"), QStringLiteral("--rate=48000"), QStringLiteral("--latency-msec=20")});
    if (!parec_.waitForStarted(5000))
        return false;
    // On a loaded machine parec can take a second or more to connect; what
    // plays before its first samples would go unheard.
    QElapsedTimer waited;
    waited.start();
    while (!recording_ && waited.elapsed() < 10000 && parec_.state() == QProcess::Running) {
        parec_.waitForReadyRead(50);
        readSamples();
    }
    peak_ = 0.0f;
    return recording_;
}

void SinkRecorder::clear()
{
    readSamples();
    peak_ = 0.0f;
}

void SinkRecorder::readSamples()
{
    const QByteArray read = parec_.readAllStandardOutput();
    recording_ = recording_ || !read.isEmpty();
    pending_ += read;
    const qsizetype whole = pending_.size() / static_cast<qsizetype>(sizeof(float)) * static_cast<qsizetype>(sizeof(float));
    for (qsizetype at = 0; at < whole; at += static_cast<qsizetype>(sizeof(float))) {
        float sample = 0.0f;
        std::memcpy(&sample, pending_.constData() + at, sizeof sample);
        peak_ = std::max(peak_, std::abs(sample));
    }
    pending_.remove(0, whole);
}

bool SinkRecorder::waitForPeak(float level, std::chrono::milliseconds timeout)
{
    QElapsedTimer waited;
    waited.start();
    while (peak_ <= level && waited.elapsed() < timeout.count()) {
        parec_.waitForReadyRead(50);
        readSamples();
    }
    return peak_ > level;
}

}  // namespace padscope::test
