// Receives the events addressed to this program. The program first sets its handlers, then claims
// its bundle identifier: the event object is exported before the name is taken, so a name with an
// owner always means "ready to receive". A second instance finds the name taken and learns that the
// first one runs.
#pragma once

#include "Event.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>

#include <functional>
#include <map>
#include <utility>

namespace ae {

class EventReceiver final : public QDBusVirtualObject {
public:
    // Runs on the thread that made the receiver (the main thread), inside the bus dispatch: a handler
    // that opens a window should only record the request and act on it from a zero-delay timer. What
    // it puts into reply goes back to a sender that waits; an exception becomes an error reply.
    using Handler = std::function<void(const Event& event, Parameters& reply)>;
    enum class Claim { Owned, AlreadyRunning, Failed };

    explicit EventReceiver(QString ownId, QDBusConnection bus = QDBusConnection::sessionBus());
    // Gives the name up and withdraws the event object.
    ~EventReceiver() override;

    const QString& ownId() const { return ownId_; }
    void setHandler(const QString& eventClass, const QString& eventId, Handler handler);
    // Exports the event object, then asks for the name without queueing for it.
    Claim claim();

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    void dispatch(const Handler& handler, const Event& event, const QDBusMessage& message,
                  const QDBusConnection& connection) const;

    QString ownId_;
    QDBusConnection bus_;
    std::map<std::pair<QString, QString>, Handler> handlers_; // by (class, id)
    bool exported_ = false;
    bool owned_ = false;
};

} // namespace ae
