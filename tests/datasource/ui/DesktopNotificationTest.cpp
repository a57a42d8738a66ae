// Scanner faults of a host without windows reach the desktop's notification service, and the log
// alone when the session has none.
#include "QSUIAlertPresenter.h"
#include "QtTestApp.h"

#include <QDBusConnection>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <gtest/gtest.h>

namespace {

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received() {
        QMutexLocker lock(&mMutex);
        return mReceived;
    }

public slots:
    uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        QMutexLocker lock(&mMutex);
        mReceived << app + QLatin1Char('|') + summary + QLatin1Char('|') + body;
        return static_cast<uint>(mReceived.size());
    }

private:
    QMutex mMutex;
    QStringList mReceived;
};

// The service on a connection and thread of its own, so that the presenter's blocking call is answered.
class NotificationServer {
public:
    NotificationServer() {
        mServer.moveToThread(&mThread);
        mThread.start();
        QMetaObject::invokeMethod(
            &mServer,
            [this] {
                QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kName);
                bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &mServer,
                                   QDBusConnection::ExportAllSlots);
                mRegistered = bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
            },
            Qt::BlockingQueuedConnection);
    }
    ~NotificationServer() {
        QMetaObject::invokeMethod(
            &mServer, [] { QDBusConnection::disconnectFromBus(kName); }, Qt::BlockingQueuedConnection);
        mThread.quit();
        mThread.wait();
    }
    bool registered() const { return mRegistered; }
    FakeNotifications& server() { return mServer; }

private:
    static inline const QString kName = QStringLiteral("fake-notifications");
    QThread mThread;
    FakeNotifications mServer;
    bool mRegistered = false;
};

const SAlert kJam{"The paper jammed.", "Open the cover and take the sheet out.", {"Retry", "Cancel"}, true};

} // namespace

TEST(DesktopNotification, AWindowlessHostsAlertBecomesANotificationAndTakesTheAnswerNobodyCanRefuse) {
    testApplication();
    NotificationServer notifications;
    ASSERT_TRUE(notifications.registered()) << "run under dbus-run-session";
    CQSUIAlertPresenter presenter;
    EXPECT_EQ(presenter.RunAlert(kJam, true), std::optional<std::size_t>(1));
    EXPECT_EQ(notifications.server().received(),
              QStringList{QStringLiteral("K3100|The paper jammed.|Open the cover and take the sheet out.")});
}

TEST(DesktopNotification, WithoutANotificationServiceTheLogKeepsTheAlertAndSaysSo) {
    testApplication();
    CQSUIAlertPresenter presenter;
    testing::internal::CaptureStderr();
    EXPECT_EQ(presenter.RunAlert(kJam, true), std::optional<std::size_t>(1));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("The paper jammed."), std::string::npos) << log;
    EXPECT_NE(log.find("no notifications"), std::string::npos) << log;
}

#include "DesktopNotificationTest.moc"
