#include "app/termination_requests.h"

#include "app/program_log.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace padscope {
namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, for the handler; one watch at a time. Lock-free, so
// the handler may read it on any thread.
std::atomic<int> writeEnd = -1;
static_assert(std::atomic<int>::is_always_lock_free);

// Runs on whichever thread the signal hits: it only writes a byte. A full
// pipe means an earlier request is still unread, which is as good.
void onTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

struct TerminationRequests::Watch {
    std::array<int, 2> pipe{-1, -1};
    std::array<struct sigaction, kSignals.size()> previous{};
    std::unique_ptr<QSocketNotifier> notifier;
};

TerminationRequests::TerminationRequests(std::function<void()> requested) : watch_(std::make_unique<Watch>())
{
    if (::pipe2(watch_->pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcProgram, "termination signals end the program at once: no pipe (%s)", std::strerror(errno));
        return;
    }
    writeEnd = watch_->pipe[1];
    watch_->notifier = std::make_unique<QSocketNotifier>(watch_->pipe[0], QSocketNotifier::Read);
    QObject::connect(watch_->notifier.get(), &QSocketNotifier::activated, watch_->notifier.get(),
                     [watch = watch_.get(), requested = std::move(requested)] {
                         // Later bytes stay unread: the close runs once.
                         watch->notifier->setEnabled(false);
                         requested();
                     });

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &watch_->previous[i]);
}

TerminationRequests::~TerminationRequests()
{
    if (watch_->pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &watch_->previous[i], nullptr);
    writeEnd = -1;
    watch_->notifier.reset();
    for (const int end : watch_->pipe)
        ::close(end);
}

}  // namespace padscope
