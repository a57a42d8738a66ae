// Power events the helper follows: the machine going to sleep and waking (logind's PrepareForSleep on
// the system bus, ignored where there is none) and the session ending (SIGTERM at log-out or power-off,
// turned into a normal quit so that the helper still tells the main application and keeps its login
// item).
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace tapwell {

class PowerEvents final : public QObject {
    Q_OBJECT
public:
    PowerEvents(std::function<void()> sleep, std::function<void()> wake, std::function<void()> powerOff);
    ~PowerEvents() override;

private slots:
    void prepareForSleep(bool starting);

private:
    void signalArrived();

    std::function<void()> sleep_;
    std::function<void()> wake_;
    std::function<void()> powerOff_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tapwell
