// Calls are made without bus activation: a program that is not running is launched by the sender's
// own rules (its .desktop file), never behind its back by the bus.
#include "EventSender.h"

#include "EventNames.h"
#include "ProgramWatcher.h"

#include <QDBusError>
#include <QDBusMessage>

namespace ae {
namespace {

Reply failure(SendStatus status, QString error) {
    Reply r;
    r.status = status;
    r.error = std::move(error);
    return r;
}

Reply fromBusReply(const QDBusMessage& answer, const QString& receiverId, std::chrono::milliseconds timeout) {
    if (answer.type() == QDBusMessage::ReplyMessage) {
        std::optional<Parameters> parameters = Parameters::fromWire(answer.arguments());
        if (!parameters)
            return failure(SendStatus::Failed,
                           receiverId + QStringLiteral(" answered with too many parameters"));
        Reply r;
        r.status = SendStatus::Ok;
        r.parameters = std::move(*parameters);
        return r;
    }
    const QDBusError::ErrorType type = QDBusError(answer).type();
    if (type == QDBusError::ServiceUnknown ||
        answer.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return failure(SendStatus::NotRunning, receiverId + QStringLiteral(" is not running"));
    if (type == QDBusError::NoReply || type == QDBusError::Timeout || type == QDBusError::TimedOut)
        return failure(SendStatus::TimedOut,
                       QStringLiteral("%1 did not answer within %2 ms").arg(receiverId).arg(timeout.count()));
    return failure(SendStatus::Failed, answer.errorName() + QStringLiteral(": ") + answer.errorMessage());
}

} // namespace

EventSender::EventSender(QString receiverId, QDBusConnection bus)
    : receiverId_(std::move(receiverId)), bus_(std::move(bus)) {}

bool EventSender::isReceiverRunning() const {
    return isRunning(receiverId_, bus_);
}

QDBusMessage EventSender::message(const Event& event) const {
    QDBusMessage m = QDBusMessage::createMethodCall(
        receiverId_, objectPath(receiverId_), interfaceName(receiverId_, event.eventClass), event.eventId);
    m.setAutoStartService(false);
    m << event.parameters.toWire();
    return m;
}

SendStatus EventSender::post(const Event& event) const {
    if (!isReceiverRunning())
        return SendStatus::NotRunning;
    return bus_.send(message(event)) ? SendStatus::Ok : SendStatus::Failed;
}

Reply EventSender::send(const Event& event, std::chrono::milliseconds timeout) const {
    if (!bus_.isConnected())
        return failure(SendStatus::Failed, QStringLiteral("no session bus"));
    const QDBusMessage answer = bus_.call(message(event), QDBus::Block, static_cast<int>(timeout.count()));
    return fromBusReply(answer, receiverId_, timeout);
}

} // namespace ae
