// Sends events to one receiving program, addressed by its bundle identifier (its bus name). Events
// that expect no answer go out flagged "no reply" and return at once; the others wait for the reply,
// which the receiver sends once its handler has returned, but never longer than the time-out.
#pragma once

#include "Event.h"

#include <QDBusConnection>
#include <QString>

#include <chrono>

namespace ae {

// Long enough for a handler that writes the settings file, short enough that a hung receiver does
// not freeze the sender's menu for long.
inline constexpr std::chrono::milliseconds kReplyTimeout{5000};

enum class SendStatus { Ok, NotRunning, TimedOut, Failed };

struct Reply {
    SendStatus status = SendStatus::Failed;
    QString error; // why it failed, for the log
    Parameters parameters;
    bool ok() const { return status == SendStatus::Ok; }
};

class EventSender {
public:
    explicit EventSender(QString receiverId, QDBusConnection bus = QDBusConnection::sessionBus());

    const QString& receiverId() const { return receiverId_; }
    // The receiver's bus name has an owner, that is, the receiver is up and has exported its events.
    bool isReceiverRunning() const;

    // Without a reply. NotRunning when the receiver has no owner; Ok once the event is on its way.
    SendStatus post(const Event& event) const;
    // Waits for the reply, at most timeout; a receiver that is not running fails at once.
    Reply send(const Event& event, std::chrono::milliseconds timeout = kReplyTimeout) const;

private:
    QDBusMessage message(const Event& event) const;

    QString receiverId_;
    QDBusConnection bus_;
};

} // namespace ae
