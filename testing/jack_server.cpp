#include "testing/jack_server.h"

#include "testing/wait_until.h"

#include <jack/jack.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

namespace padscope::test {

namespace {

void silent(const char*) {}

bool serverAccepts(const std::string& name)
{
    jack_set_error_function(silent);
    jack_set_info_function(silent);
    jack_status_t status{};
    const auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
    jack_client_t* client = jack_client_open("padscope-wait", options, &status, name.c_str());
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

bool portExists(const std::string& server, const std::string& port)
{
    jack_status_t status{};
    const auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
    jack_client_t* client = jack_client_open("padscope-look", options, &status, server.c_str());
    if (!client)
        return false;
    const bool found = jack_port_by_name(client, port.c_str()) != nullptr;
    jack_client_close(client);
    return found;
}

// Why end-to-end tests were skipped, if they were.
bool endToEndSkipped = false;
std::string serverLastWords;

// Stops a program with `signal` and waits. A server given time to stop
// unregisters itself from JACK's registry; it waits up to six seconds for a
// client that vanished without closing, and a loaded machine adds more.
void stopProcess(QProcess& p, int signal = SIGTERM)
{
    if (p.state() == QProcess::NotRunning)
        return;
    const auto pid = static_cast<pid_t>(p.processId());
    ::kill(pid, SIGCONT);
    ::kill(pid, signal);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}

// JACK keeps a registry of at most eight servers in shared memory, shared by
// every user of the machine: the tests never touch it or another server's
// files. A server that stops cleanly leaves its place, and one that was
// killed has its place reclaimed by a server started again under its name
// (see the destructor); a server whose test program dies is told to stop.
// The programs that start servers never run at the same time (RUN_SERIAL).
// What the server and its clients leave in /dev/shm under its name when
// they do not end cleanly: semaphores and the server's socket.
void removeFilesOfServer(const std::string& server)
{
    const QString uid = QString::number(::getuid());
    const QString name = QString::fromStdString(server);
    const QDir shm(QStringLiteral("/dev/shm"));
    const QStringList patterns{QStringLiteral("jack_sem.%1_%2_*").arg(uid, name),
                               QStringLiteral("jack_%1_%2_*").arg(name, uid)};
    for (const QString& entry : shm.entryList(patterns, QDir::Files | QDir::System))
        QFile::remove(shm.filePath(entry));
}

std::string uniqueServerName()
{
    static int counter = 0;
    const QByteArray prefix = qgetenv("PADSCOPE_JACK_PREFIX");
    return (prefix.isEmpty() ? std::string("padscope") : prefix.toStdString()) + "-" + std::to_string(::getpid()) +
           "-" + std::to_string(counter++);
}

}  // namespace

std::string serverUnavailable(std::string_view what)
{
    endToEndSkipped = true;
    std::string reason = std::string(what) + " could not start (a busy machine, or JACK's registry of servers is full)";
    if (!serverLastWords.empty())
        reason += "; jackd said: " + serverLastWords;
    return reason;
}

int skipAwareExitCode(int testResult)
{
    if (testResult != 0 || !endToEndSkipped)
        return testResult;
    // In CI a test that did not run is a failure: nobody reads the summary.
    if (qgetenv("CI") == "true") {
        std::fprintf(stderr, "End-to-end tests were skipped (the reasons are above); with CI=true that fails\n");
        return 1;
    }
    return kSkipExitCode;
}

JackDummyServer::JackDummyServer() : name_(uniqueServerName()) {}

JackDummyServer::~JackDummyServer()
{
    if (!jackd_)
        return;
    stopProcess(*jackd_);
    if (killed_ && launch())
        stopProcess(*jackd_);
    removeFilesOfServer(name_);
}

bool JackDummyServer::installed()
{
    const bool found = !QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty();
    endToEndSkipped = endToEndSkipped || !found;
    return found;
}

bool JackDummyServer::underPipeWire()
{
    const char* version = jack_get_version_string();
    return version && std::string_view(version).find("PipeWire") != std::string_view::npos;
}

bool JackDummyServer::start()
{
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    if (underPipeWire()) {
        // pw-jack's server is the PipeWire daemon that runs already, started
        // by pipewire_jack.sh, which also keeps its MIDI bytes as sent.
        ::unsetenv("JACK_DEFAULT_SERVER");
        name_ = "default";
        return waitUntil([this] { return serverAccepts(name_); }, std::chrono::seconds(15));
    }
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    if (launch())
        return true;
    stopProcess(*jackd_);
    serverLastWords = jackd_->readAll().simplified().right(400).toStdString();
    return false;
}

void JackDummyServer::signal(int number)
{
    if (!jackd_ || jackd_->state() == QProcess::NotRunning)
        return;
    killed_ = killed_ || number == SIGKILL;
    ::kill(static_cast<pid_t>(jackd_->processId()), number);
}

void JackDummyServer::waitForExit()
{
    if (jackd_)
        jackd_->waitForFinished(10000);
}

bool JackDummyServer::launch()
{
    jackd_ = std::make_unique<QProcess>();
    jackd_->setProcessChannelMode(QProcess::MergedChannels);
    // Should this program die, the server stops cleanly all the same and so
    // leaves JACK's registry.
    jackd_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    jackd_->start(QStringLiteral("bash"), {QStringLiteral(PADSCOPE_SERVERS_SCRIPT), QStringLiteral("jack"),
                                           QString::fromStdString(name_)});
    if (!jackd_->waitForStarted(5000))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000) {
        if (jackd_->state() == QProcess::NotRunning)
            return false;
        if (serverAccepts(name_))
            return true;
        QThread::msleep(50);
    }
    return false;
}

MidiDumpPeer::MidiDumpPeer(std::string clientName) : client_(std::move(clientName)) {}

MidiDumpPeer::~MidiDumpPeer()
{
    // On SIGINT jack_midi_dump closes its client; on SIGTERM it just dies,
    // and its server then waits for it when it stops.
    if (dump_)
        stopProcess(*dump_, SIGINT);
}

bool MidiDumpPeer::installed()
{
    const bool found = !QStandardPaths::findExecutable(QStringLiteral("jack_midi_dump")).isEmpty();
    endToEndSkipped = endToEndSkipped || !found;
    return found;
}

bool MidiDumpPeer::start()
{
    dump_ = std::make_unique<QProcess>();
    // Line-buffered, so every event reaches us as it arrives.
    dump_->start(QStringLiteral("stdbuf"),
                 {QStringLiteral("-oL"), QStringLiteral("jack_midi_dump"), QString::fromStdString(client_)});
    if (!dump_->waitForStarted(5000))
        return false;
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        if (dump_->state() == QProcess::NotRunning)
            return false;
        if (portExists(server ? server : "default", portName()))
            return true;
        QThread::msleep(50);
    }
    return false;
}

std::vector<std::vector<unsigned char>> MidiDumpPeer::waitForEvents(std::size_t count, int timeoutMs)
{
    // jack_midi_dump prints one event a line: a time stamp, a colon, then the bytes in hex.
    static const QRegularExpression event(QStringLiteral("^\\s*-?\\d+:((?:\\s+[0-9a-fA-F]{2})+)"));
    std::vector<std::vector<unsigned char>> events;
    const auto limit = scaledLimit(std::chrono::milliseconds(timeoutMs)).count();
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        dump_->waitForReadyRead(100);
        output_ += dump_->readAllStandardOutput();
        events.clear();
        for (const QByteArray& line : output_.split('\n')) {
            const auto match = event.match(QString::fromLatin1(line));
            if (!match.hasMatch())
                continue;
            std::vector<unsigned char> bytes;
            for (const QString& hex : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                bytes.push_back(static_cast<unsigned char>(hex.toUInt(nullptr, 16)));
            events.push_back(std::move(bytes));
        }
        if (events.size() >= count || timer.elapsed() > limit)
            return events;
    }
}

}  // namespace padscope::test
