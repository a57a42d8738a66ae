// A thin frame around QDBusServiceWatcher in the words of the programs: launched and terminated.
#include "ProgramWatcher.h"

#include <QDBusConnectionInterface>

namespace ae {

bool isRunning(const QString& bundleId, const QDBusConnection& bus) {
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon)
        return false;
    const QDBusReply<bool> reply = daemon->isServiceRegistered(bundleId);
    return reply.isValid() && reply.value();
}

ProgramWatcher::ProgramWatcher(const QStringList& bundleIds, QDBusConnection bus, QObject* parent)
    : QObject(parent),
      watcher_(QString(), bus,
               QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration) {
    watcher_.setWatchedServices(bundleIds);
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this, &ProgramWatcher::launched);
    connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this, &ProgramWatcher::terminated);
}

} // namespace ae
