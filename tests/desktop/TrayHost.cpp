// A stand-in for the desktop's tray on the session bus, for the desktop road under Xvfb: it serves the
// StatusNotifier watcher that Qt looks for, so a program's tray icon registers with it, and as a
// client it does what a tray does with a registered item: list its menu (dbusmenu), click the icon
// (which opens the program's own menu on the screen), or choose a menu entry by its label.
//   k3100-tray-host serve               the watcher; prints each item's bus name as it registers
//   k3100-tray-host menu <item>         the menu's labels, one per line ("-" for a separator)
//   k3100-tray-host click <item>        a left click on the icon
//   k3100-tray-host choose <item> <label>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QStringList>
#include <cstdio>
#include <functional>

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kMenuInterface = "com.canonical.dbusmenu";

class Watcher final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit Watcher(QObject* parent) : QDBusAbstractAdaptor(parent) {}
    QStringList items() const { return items_; }
    static bool hostRegistered() { return true; }
    static int protocolVersion() { return 0; }

public slots:
    // An item names its bus name, or only its object path (then the caller's name is meant).
    void RegisterStatusNotifierItem(const QString& serviceOrPath, const QDBusMessage& message) {
        const QString service = serviceOrPath.startsWith(u'/') ? message.service() : serviceOrPath;
        items_.append(service);
        std::printf("%s\n", qPrintable(service));
        std::fflush(stdout);
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QStringList items_;
};

struct MenuEntry {
    int id = 0;
    QString label; // "-" for a separator
};

// One node of a dbusmenu layout, (ia{sv}av), and its children in order.
void readLayout(const QDBusArgument& node, const std::function<void(const MenuEntry&)>& visit, bool top) {
    int id = 0;
    QVariantMap properties;
    node.beginStructure();
    node >> id >> properties;
    if (!top) {
        const bool separator =
            properties.value(QStringLiteral("type")).toString() == QLatin1String("separator");
        visit({id, separator ? QStringLiteral("-") : properties.value(QStringLiteral("label")).toString()});
    }
    node.beginArray();
    while (!node.atEnd()) {
        QDBusVariant child;
        node >> child;
        readLayout(qvariant_cast<QDBusArgument>(child.variant()), visit, false);
    }
    node.endArray();
    node.endStructure();
}

QList<MenuEntry> menuOf(const QString& item) {
    QDBusInterface icon(item, QStringLiteral("/StatusNotifierItem"), kItemInterface);
    const QString menuPath = qvariant_cast<QDBusObjectPath>(icon.property("Menu")).path();
    QDBusInterface menu(item, menuPath.isEmpty() ? QStringLiteral("/MenuBar") : menuPath, kMenuInterface);
    menu.call(QStringLiteral("AboutToShow"), 0); // the program fills its menu now, as before it opens
    const QDBusMessage layout = menu.call(QStringLiteral("GetLayout"), 0, -1, QStringList());
    QList<MenuEntry> entries;
    if (layout.type() != QDBusMessage::ReplyMessage || layout.arguments().size() < 2)
        return entries;
    readLayout(
        qvariant_cast<QDBusArgument>(layout.arguments().at(1)),
        [&entries](const MenuEntry& entry) { entries.append(entry); }, true);
    return entries;
}

QString plainLabel(QString label) {
    return label.remove(u'_'); // the mnemonic mark
}

int serve(QCoreApplication& app) {
    QObject root;
    new Watcher(&root);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &root) ||
        !bus.registerService(kWatcherService)) {
        std::fprintf(stderr, "k3100-tray-host: the watcher's name is taken or the bus is missing\n");
        return 1;
    }
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("serve"))
        return serve(app);
    const QString item = args.value(1);
    if (command == QLatin1String("menu") && !item.isEmpty()) {
        const QList<MenuEntry> entries = menuOf(item);
        for (const MenuEntry& entry : entries)
            std::printf("%s\n", qPrintable(plainLabel(entry.label)));
        return entries.isEmpty() ? 1 : 0;
    }
    if (command == QLatin1String("click") && !item.isEmpty()) {
        QDBusInterface icon(item, QStringLiteral("/StatusNotifierItem"), kItemInterface);
        return icon.call(QStringLiteral("Activate"), 10, 10).type() == QDBusMessage::ReplyMessage ? 0 : 1;
    }
    if (command == QLatin1String("choose") && args.size() == 3) {
        for (const MenuEntry& entry : menuOf(item)) {
            if (plainLabel(entry.label) != args.at(2))
                continue;
            QDBusInterface menu(item, QStringLiteral("/MenuBar"), kMenuInterface);
            const QDBusMessage done = menu.call(QStringLiteral("Event"), entry.id, QStringLiteral("clicked"),
                                                QVariant::fromValue(QDBusVariant(0)), 0u);
            return done.type() == QDBusMessage::ReplyMessage ? 0 : 1;
        }
        std::fprintf(stderr, "k3100-tray-host: no entry \"%s\"\n", qPrintable(args.at(2)));
        return 1;
    }
    std::fprintf(stderr,
                 "usage: k3100-tray-host serve | menu <item> | click <item> | choose <item> <label>\n");
    return 2;
}

#include "TrayHost.moc"
