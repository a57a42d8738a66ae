// A receiving program for the tests: owns the bundle id given as its first argument, writes every
// event it receives as one line into the file named by the second ("thQS Cnct PmLa=Int32:0 ..."),
// answers Data with Rtrn = 1 (32 bits) and ends on the quit event.
#include "EventNames.h"
#include "EventReceiver.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

const char* widthName(ae::Width w) {
    static const char* const names[] = {"Bool",  "UInt8",  "Int16", "UInt16",
                                        "Int32", "UInt32", "Int64", "UInt64"};
    return names[static_cast<int>(w)];
}

void record(const QString& logPath, const ae::Event& event) {
    QFile log(logPath);
    if (!log.open(QIODevice::Append | QIODevice::Text))
        return;
    QTextStream out(&log);
    out << event.eventClass << ' ' << event.eventId;
    for (const char* keyword : {ae::kParam, ae::kParamStatus, ae::kParamLaunched})
        if (const auto p = event.parameters.find(keyword))
            out << ' ' << keyword << '=' << widthName(p->width) << ':' << p->value;
    out << '\n';
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ae-test-peer <bundle id> <log file>\n");
        return 2;
    }
    const QString logPath = QString::fromLocal8Bit(argv[2]);
    ae::EventReceiver receiver(QString::fromLocal8Bit(argv[1]));
    for (const char* id : {ae::kConnect, ae::kOutputCheck, ae::kActivateWindow, ae::kVersionPanel, ae::kScan})
        receiver.setHandler(ae::kClassQS, id,
                            [&](const ae::Event& e, ae::Parameters&) { record(logPath, e); });
    receiver.setHandler(ae::kClassQS, ae::kAppData, [&](const ae::Event& e, ae::Parameters& reply) {
        record(logPath, e);
        reply.setInt32(ae::kReturn, 1);
    });
    receiver.setHandler(ae::kClassCore, ae::kQuit, [&](const ae::Event& e, ae::Parameters&) {
        record(logPath, e);
        QCoreApplication::quit();
    });
    const ae::EventReceiver::Claim claim = receiver.claim();
    if (claim != ae::EventReceiver::Claim::Owned) {
        std::fprintf(stderr, "ae-test-peer: %s\n",
                     claim == ae::EventReceiver::Claim::AlreadyRunning ? "already running" : "no bus");
        return 1;
    }
    return app.exec();
}
