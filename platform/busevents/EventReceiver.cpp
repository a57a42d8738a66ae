// A virtual object sees every call to its path as a raw message, so one object serves all event
// classes and reads the parameters leniently instead of by a fixed signature.
#include "EventReceiver.h"

#include "EventNames.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <exception>

namespace ae {

EventReceiver::EventReceiver(QString ownId, QDBusConnection bus)
    : ownId_(std::move(ownId)), bus_(std::move(bus)) {}

EventReceiver::~EventReceiver() {
    if (owned_ && bus_.interface())
        bus_.interface()->unregisterService(ownId_);
    if (exported_)
        bus_.unregisterObject(objectPath(ownId_));
}

void EventReceiver::setHandler(const QString& eventClass, const QString& eventId, Handler handler) {
    handlers_[{eventClass, eventId}] = std::move(handler);
}

EventReceiver::Claim EventReceiver::claim() {
    if (!bus_.isConnected())
        return Claim::Failed;
    if (!exported_)
        exported_ = bus_.registerVirtualObject(objectPath(ownId_), this);
    if (!exported_)
        return Claim::Failed;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(ownId_, QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    owned_ = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    if (owned_)
        return Claim::Owned;
    bus_.unregisterObject(objectPath(ownId_));
    exported_ = false;
    return reply.isValid() ? Claim::AlreadyRunning : Claim::Failed;
}

QString EventReceiver::introspect(const QString&) const {
    QString xml;
    QString open;
    for (const auto& [key, handler] : handlers_) {
        if (open != key.first) {
            if (!open.isEmpty())
                xml += QStringLiteral("</interface>");
            open = key.first;
            xml += QStringLiteral("<interface name=\"%1\">").arg(interfaceName(ownId_, open));
        }
        xml += QStringLiteral("<method name=\"%1\"><arg name=\"parameters\" type=\"a{sv}\" direction=\"in\"/>"
                              "<arg name=\"reply\" type=\"a{sv}\" direction=\"out\"/></method>")
                   .arg(key.second);
    }
    return open.isEmpty() ? xml : xml + QStringLiteral("</interface>");
}

bool EventReceiver::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QString prefix = ownId_ + u'.';
    if (message.type() != QDBusMessage::MethodCallMessage || !message.interface().startsWith(prefix))
        return false; // introspection and the like are Qt's
    std::optional<Parameters> parameters = Parameters::fromWire(message.arguments());
    if (!parameters) {
        if (message.isReplyRequired())
            connection.send(
                message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("too many parameters")));
        return true;
    }
    Event event{message.interface().mid(prefix.size()), message.member(), std::move(*parameters)};
    const auto it = handlers_.find({event.eventClass, event.eventId});
    if (it == handlers_.end()) {
        if (message.isReplyRequired())
            connection.send(message.createErrorReply(
                QDBusError::UnknownMethod,
                QStringLiteral("event %1/%2 is not handled").arg(event.eventClass, event.eventId)));
        return true;
    }
    dispatch(it->second, event, message, connection);
    return true;
}

void EventReceiver::dispatch(const Handler& handler, const Event& event, const QDBusMessage& message,
                             const QDBusConnection& connection) const {
    Parameters reply;
    QString failure;
    try {
        handler(event, reply);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    } catch (...) {
        failure = QStringLiteral("unknown failure");
    }
    if (!message.isReplyRequired())
        return;
    if (failure.isEmpty())
        connection.send(message.createReply(QVariant(reply.toWire())));
    else
        connection.send(message.createErrorReply(QDBusError::Failed, failure));
}

} // namespace ae
