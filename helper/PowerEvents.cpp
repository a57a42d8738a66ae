// The signal handler only writes a byte into a pipe; the main loop reads it, so the quit runs on the
// main thread like every other action.
#include "PowerEvents.h"

#include <QDBusConnection>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tapwell {

namespace {

int gSignalPipe[2] = {-1, -1};

extern "C" void onTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalPipe[1], &byte, 1);
}

} // namespace

PowerEvents::PowerEvents(std::function<void()> sleep, std::function<void()> wake,
                         std::function<void()> powerOff)
    : sleep_(std::move(sleep)), wake_(std::move(wake)), powerOff_(std::move(powerOff)) {
    QDBusConnection::systemBus().connect(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(prepareForSleep(bool)));
    if (gSignalPipe[0] < 0 && ::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PowerEvents::signalArrived);
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
}

PowerEvents::~PowerEvents() {
    ::signal(SIGTERM, SIG_DFL);
}

void PowerEvents::prepareForSleep(bool starting) {
    if (starting)
        sleep_();
    else
        wake_();
}

void PowerEvents::signalArrived() {
    char byte = 0;
    while (::read(gSignalPipe[0], &byte, 1) == 1) {
    }
    powerOff_();
}

} // namespace tapwell
