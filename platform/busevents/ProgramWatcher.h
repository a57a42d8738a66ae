// Which programs run: a program runs while its bundle identifier has an owner on the session bus,
// which it takes only once it is ready to receive events.
#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>

namespace ae {

bool isRunning(const QString& bundleId, const QDBusConnection& bus = QDBusConnection::sessionBus());

// Reports programs that start (take their name) and end (lose it, also by crashing).
class ProgramWatcher : public QObject {
    Q_OBJECT
public:
    explicit ProgramWatcher(const QStringList& bundleIds, QDBusConnection bus = QDBusConnection::sessionBus(),
                            QObject* parent = nullptr);

signals:
    void launched(const QString& bundleId);
    void terminated(const QString& bundleId);

private:
    QDBusServiceWatcher watcher_;
};

} // namespace ae
