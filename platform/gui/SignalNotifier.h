#pragma once
// A POSIX signal delivered to the event loop. The signal handler only writes a byte to a pipe;
// a socket notifier on the pipe's read end runs `onSignal` later, in the event loop of the thread
// that made the object, where window calls are safe. Signals that arrive before the loop reads
// the pipe are delivered as one call. Exceptions from `onSignal` are reported and go no further.
// The code the signal interrupts goes on as if it had not come: a system call it interrupts is
// restarted (SA_RESTART) and errno is left as the handler found it.
//
// One object per signal number at a time; the signal's previous disposition comes back when the
// object goes.

#include <QObject>

#include <signal.h>

#include <functional>

class QSocketNotifier;

class TSignalNotifier : public QObject {
public:
    TSignalNotifier(int signo, std::function<void()> onSignal, QObject* parent = nullptr);
    ~TSignalNotifier() override;
    TSignalNotifier(const TSignalNotifier&) = delete;
    TSignalNotifier& operator=(const TSignalNotifier&) = delete;

    // False when the pipe or the handler could not be set up, or another object holds the
    // signal; the signal then keeps its previous disposition.
    bool Active() const { return installed_; }

private:
    void Drain();

    int signo_;
    std::function<void()> onSignal_;
    int pipe_[2] = {-1, -1};
    struct sigaction previous_ {};
    bool installed_ = false;
    QSocketNotifier* notifier_ = nullptr;
};
