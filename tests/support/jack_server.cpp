#include "jack_server.h"

#include <jack/jack.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdlib>
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

bool serverWasUnavailable = false;

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

// JACK keeps a registry of at most eight servers in shared memory, and a
// server that dies without cleaning up keeps its entry; a full registry makes
// every new server hang. So the programs that start servers never run at the
// same time (a ctest resource lock), and each clears what dead servers left
// behind before its first start, while no JACK server runs at all (later
// its own JACK clients hold the registry open).
std::string uniqueServerName()
{
    static int counter = 0;
    return "padscope-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

bool anyJackServerRunning()
{
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        // "pid (comm) state ...": a zombie no longer holds anything.
        QFile stat(proc.filePath(entry + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        if (open < 0 || close < open || close + 2 >= line.size())
            continue;
        const QByteArray name = line.mid(open + 1, close - open - 1);
        if ((name == "jackd" || name == "jackdbus") && line.at(close + 2) != 'Z')
            return true;
    }
    return false;
}

void clearStaleJackRegistry()
{
    if (anyJackServerRunning())
        return;
    const QDir shm(QStringLiteral("/dev/shm"));
    for (const QString& entry : shm.entryList({QStringLiteral("jack*")}, QDir::Files))
        QFile::remove(shm.filePath(entry));
}

}  // namespace

std::string serverUnavailable(std::string_view what)
{
    serverWasUnavailable = true;
    return std::string(what) + " could not start (a busy machine, or JACK's registry of servers is full)";
}

int skipAwareExitCode(int testResult)
{
    return testResult == 0 && serverWasUnavailable ? kSkipExitCode : testResult;
}

JackDummyServer::JackDummyServer() : name_(uniqueServerName()) {}

JackDummyServer::~JackDummyServer()
{
    if (!jackd_)
        return;
    stopProcess(*jackd_);
    if (killed_ && launch())
        stopProcess(*jackd_);
}

bool JackDummyServer::installed()
{
    return !QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty();
}

bool JackDummyServer::start()
{
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    static bool registryChecked = false;
    if (!registryChecked) {
        registryChecked = true;
        clearStaleJackRegistry();
    }
    if (launch())
        return true;
    stopProcess(*jackd_);
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
    // The client time-out: how long the server waits for a client to take
    // part in a graph change (ten times it for activation), and also how long
    // a late client may hold back a new connection. Generous for a loaded
    // machine without real-time scheduling, yet well under the second and a
    // half that the program waits for a connection to carry messages.
    jackd_->start(QStringLiteral("jackd"),
                  {QStringLiteral("-n"), QString::fromStdString(name_), QStringLiteral("--no-realtime"),
                   QStringLiteral("-S"), QStringLiteral("-t"), QStringLiteral("1000"),
                   QStringLiteral("-d"), QStringLiteral("dummy"), QStringLiteral("-r"),
                   QStringLiteral("48000"), QStringLiteral("-p"), QStringLiteral("256")});
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
    return !QStandardPaths::findExecutable(QStringLiteral("jack_midi_dump")).isEmpty();
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
        if (events.size() >= count || timer.elapsed() > timeoutMs)
            return events;
    }
}

}  // namespace padscope::test
