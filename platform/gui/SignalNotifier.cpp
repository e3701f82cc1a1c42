#include "platform/gui/SignalNotifier.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>

#include "platform/gui/EventGuard.h"

namespace {

// The write end of the pipe of each signal number, plus one (0: no object holds the signal).
// Lock-free atomics are safe to read in a signal handler.
std::atomic<int> writeEnd[NSIG];

extern "C" void WriteSignalByte(int signo) {
    const int saved = errno;
    const int fd = signo > 0 && signo < NSIG ? writeEnd[signo].load() - 1 : -1;
    if (fd >= 0) {
        // The pipe does not block: when it is full a delivery is already pending.
        const char byte = 1;
        ssize_t n = write(fd, &byte, 1);
        static_cast<void>(n);
    }
    errno = saved;
}

}  // namespace

TSignalNotifier::TSignalNotifier(int signo, std::function<void()> onSignal, QObject* parent)
    : QObject(parent), signo_(signo), onSignal_(std::move(onSignal)) {
    static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free atomic");
    if (signo <= 0 || signo >= NSIG || pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    int none = 0;
    if (!writeEnd[signo].compare_exchange_strong(none, pipe_[1] + 1)) return;
    struct sigaction action {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(signo, &action, &previous_) != 0) {
        writeEnd[signo].store(0);
        return;
    }
    installed_ = true;
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
}

TSignalNotifier::~TSignalNotifier() {
    if (installed_) {
        sigaction(signo_, &previous_, nullptr);
        writeEnd[signo_].store(0);
    }
    delete notifier_;
    for (int fd : pipe_)
        if (fd >= 0) close(fd);
}

void TSignalNotifier::Drain() {
    char buf[64];
    bool signalled = false;
    ssize_t n;
    while ((n = read(pipe_[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        signalled = signalled || n > 0;
    if (signalled && onSignal_) Guarded(onSignal_, "unknown error");
}
