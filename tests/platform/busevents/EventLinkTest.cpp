// Events between two processes on the session bus (the tests run under dbus-run-session): a receiving
// program started for the test, its name as "running", the watcher, replies and their bounds.
#include "EventNames.h"
#include "EventReceiver.h"
#include "EventSender.h"
#include "ProgramWatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// A parameter dictionary of count integer entries, marshalled straight onto the wire as a hostile
// sender would, without building it in memory first.
struct ParameterFlood {
    int count = 0;
};
Q_DECLARE_METATYPE(ParameterFlood)

QDBusArgument& operator<<(QDBusArgument& wire, const ParameterFlood& flood) {
    wire.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QDBusVariant>());
    for (int i = 0; i < flood.count; ++i) {
        wire.beginMapEntry();
        wire << QStringLiteral("k%1").arg(i) << QDBusVariant(i);
        wire.endMapEntry();
    }
    wire.endMap();
    return wire;
}

const QDBusArgument& operator>>(const QDBusArgument& wire, ParameterFlood&) {
    return wire; // only ever sent
}

namespace {

// Generous: a sanitised peer on a busy machine may take seconds to start.
constexpr int kStartWaitMs = 30000;

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "busevents_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

QString uniqueId(const char* what) {
    return QStringLiteral("org.k3100test.%1.p%2").arg(QLatin1String(what)).arg(::getpid());
}

ae::Event event(const char* eventClass, const char* id) {
    return ae::Event{QString::fromLatin1(eventClass), QString::fromLatin1(id), {}};
}

class EventLink : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run the tests under dbus-run-session";
        ASSERT_TRUE(dir.isValid());
    }
    void startPeer(const QString& id) {
        peer.start(QStringLiteral(AE_TEST_PEER), {id, logPath()});
        ASSERT_TRUE(peer.waitForStarted());
    }
    QString logPath() const { return dir.filePath("events.log"); }
    QString log() const {
        QFile f(logPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    QProcess peer;
};

} // namespace

TEST_F(EventLink, EventsKeepKeywordsAndWidthsAndTheWatcherSeesTheProgramComeAndGo) {
    const QString id = uniqueId("peer");
    ae::ProgramWatcher watcher({id});
    QSignalSpy launched(&watcher, &ae::ProgramWatcher::launched);
    QSignalSpy terminated(&watcher, &ae::ProgramWatcher::terminated);
    EXPECT_FALSE(ae::isRunning(id));
    startPeer(id);
    ASSERT_TRUE(launched.wait(kStartWaitMs));
    EXPECT_EQ(launched.front().front().toString(), id);
    EXPECT_TRUE(ae::isRunning(id));

    ae::EventReceiver second(id);
    EXPECT_EQ(second.claim(), ae::EventReceiver::Claim::AlreadyRunning);

    const ae::EventSender sender(id);
    ae::Event connect = event(ae::kClassQS, ae::kConnect);
    connect.parameters.setInt16(ae::kParam, -3);
    connect.parameters.setInt32(ae::kParamStatus, 2);
    connect.parameters.setInt32(ae::kParamLaunched, 0);
    EXPECT_EQ(sender.post(connect), ae::SendStatus::Ok);
    // A posted event waits for no answer: the receiver may take it up after a later call (seen under
    // load), so the call goes once the event is in.
    const QString connected = QStringLiteral("thQS Cnct Parm=Int16:-3 PmSt=Int32:2 PmLa=Int32:0\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return log() == connected; }, kStartWaitMs)) << log().toStdString();

    // The reply comes after the handler ran.
    const ae::Reply data = sender.send(event(ae::kClassQS, ae::kAppData));
    ASSERT_TRUE(data.ok()) << data.error.toStdString();
    ASSERT_TRUE(data.parameters.find(ae::kReturn));
    EXPECT_EQ(data.parameters.find(ae::kReturn)->width, ae::Width::Int32);
    EXPECT_EQ(data.parameters.int32(ae::kReturn), 1);
    EXPECT_EQ(log(), connected + QStringLiteral("thQS Data\n"));

    const ae::Reply unknown = sender.send(event(ae::kClassQS, "Nope"));
    EXPECT_EQ(unknown.status, ae::SendStatus::Failed);

    EXPECT_EQ(sender.post(event(ae::kClassCore, ae::kQuit)), ae::SendStatus::Ok);
    ASSERT_TRUE(terminated.wait(kStartWaitMs));
    EXPECT_EQ(terminated.front().front().toString(), id);
    // The watcher's wait may already have seen the peer end.
    ASSERT_TRUE(peer.state() == QProcess::NotRunning || peer.waitForFinished(kStartWaitMs));
    EXPECT_EQ(peer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(peer.exitCode(), 0);
    EXPECT_FALSE(ae::isRunning(id));
    EXPECT_TRUE(log().endsWith("aevt quit\n"));
}

TEST_F(EventLink, AProgramThatIsNotRunningFailsAtOnceWithAClearError) {
    const QString id = uniqueId("nobody");
    const ae::EventSender sender(id);
    EXPECT_FALSE(sender.isReceiverRunning());
    EXPECT_EQ(sender.post(event(ae::kClassQS, ae::kScan)), ae::SendStatus::NotRunning);
    const ae::Reply reply = sender.send(event(ae::kClassQS, ae::kAppData));
    EXPECT_EQ(reply.status, ae::SendStatus::NotRunning);
    EXPECT_EQ(reply.error, id + " is not running");
}

TEST_F(EventLink, AReceiverThatDoesNotAnswerEndsTheWaitAtTheTimeOut) {
    // A receiver on a second connection of this process: its events wait in this thread's queue,
    // which does not run while the sender blocks, so it never answers in time.
    const QString id = uniqueId("silent");
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "silent");
    bool handled = false;
    {
        ae::EventReceiver silent(id, other);
        silent.setHandler(ae::kClassQS, ae::kVersionPanel,
                          [&](const ae::Event&, ae::Parameters&) { handled = true; });
        ASSERT_EQ(silent.claim(), ae::EventReceiver::Claim::Owned);
        const ae::Reply reply =
            ae::EventSender(id).send(event(ae::kClassQS, ae::kVersionPanel), std::chrono::milliseconds(200));
        EXPECT_EQ(reply.status, ae::SendStatus::TimedOut);
        EXPECT_FALSE(handled);
    }
    QDBusConnection::disconnectFromBus("silent");
}

// A dictionary far beyond what any event carries is refused before its values are decoded (a million
// entries once cost the receiver hundreds of megabytes and seconds; a tenth of that keeps the sender's
// side of the test short); the same event with its few parameters is still handled.
TEST_F(EventLink, AParameterDictionaryBeyondWhatEventsCarryIsRefused) {
    qDBusRegisterMetaType<ParameterFlood>();
    const QString id = uniqueId("flood");
    ae::ProgramWatcher watcher({id});
    QSignalSpy launched(&watcher, &ae::ProgramWatcher::launched);
    startPeer(id);
    ASSERT_TRUE(launched.wait(kStartWaitMs));

    const auto call = [&](int entries) {
        QDBusMessage m = QDBusMessage::createMethodCall(id, ae::objectPath(id),
                                                        ae::interfaceName(id, ae::kClassQS), ae::kAppData);
        m << QVariant::fromValue(ParameterFlood{entries});
        return QDBusConnection::sessionBus().call(m, QDBus::Block, kStartWaitMs);
    };
    const QDBusMessage flooded = call(100000);
    EXPECT_EQ(flooded.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(flooded.errorName().toStdString(), "org.freedesktop.DBus.Error.InvalidArgs");
    EXPECT_EQ(call(ae::Parameters::kMaxEntries + 1).type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(call(3).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(log(), "thQS Data\n");

    EXPECT_EQ(ae::EventSender(id).post(event(ae::kClassCore, ae::kQuit)), ae::SendStatus::Ok);
    ASSERT_TRUE(peer.state() == QProcess::NotRunning || peer.waitForFinished(kStartWaitMs));
}
