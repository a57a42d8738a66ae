// Finds controls on the screen by their accessible names, as assistive technology sees them, for the
// desktop road under Xvfb: Qt programs started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 publish their
// windows on the session's accessibility bus, and the road clicks the centre this prints with xdotool.
//   k3100-ui-probe find <name> [role [window]]
//       "x y width height checked" (checked 1 or 0) of the first showing, enabled control of that name
//       (and role, e.g. "push button", in the dialog or main window of that name); status 1 if none
//   k3100-ui-probe list
//       every showing control: enabled, role, name and extents
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVariant>
#include <QList>
#include <QRect>
#include <cstdio>
#include <functional>

namespace {

constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kComponent = "org.a11y.atspi.Component";
constexpr std::uint32_t kStateChecked = 4;
constexpr std::uint32_t kStateEnabled = 8;
constexpr std::uint32_t kStateShowing = 25;
constexpr std::uint32_t kScreenCoordinates = 0;

struct Ref {
    QString service;
    QDBusObjectPath path;
};

} // namespace

Q_DECLARE_METATYPE(Ref)

namespace {

const QDBusArgument& operator>>(const QDBusArgument& argument, Ref& ref) {
    argument.beginStructure();
    argument >> ref.service >> ref.path;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const Ref& ref) {
    argument.beginStructure();
    argument << ref.service << ref.path;
    argument.endStructure();
    return argument;
}

struct Control {
    bool enabled = false;
    bool checked = false;
    QString role;
    QString name;
    QRect extents;
    QString window; // the name of the dialog or frame it is in
};

class Tree {
public:
    explicit Tree(const QDBusConnection& bus) : mBus(bus) {}

    // Visits the showing controls depth first; stops when visit answers true.
    bool walk(const Ref& ref, const std::function<bool(const Control&)>& visit, QString window = {}) const {
        QDBusInterface node(ref.service, ref.path.path(), kAccessible, mBus);
        const QDBusReply<QList<std::uint32_t>> state = node.call(QStringLiteral("GetState"));
        const bool root = ref.path.path() == QLatin1String("/org/a11y/atspi/accessible/root");
        if (!root &&
            (!state.isValid() || state.value().isEmpty() || !(state.value().front() & (1U << kStateShowing))))
            return false;
        if (!root) {
            const QDBusReply<QString> role = node.call(QStringLiteral("GetRoleName"));
            QDBusInterface component(ref.service, ref.path.path(), kComponent, mBus);
            const QDBusMessage extents = component.call(QStringLiteral("GetExtents"), kScreenCoordinates);
            QRect rect;
            if (extents.type() == QDBusMessage::ReplyMessage && !extents.arguments().isEmpty()) {
                const QDBusArgument box = extents.arguments().front().value<QDBusArgument>();
                int x = 0, y = 0, w = 0, h = 0;
                box.beginStructure();
                box >> x >> y >> w >> h;
                box.endStructure();
                rect = QRect(x, y, w, h);
            }
            const std::uint32_t flags = state.value().front();
            const QString name = node.property("Name").toString();
            if (role.value() == QLatin1String("dialog") || role.value() == QLatin1String("frame"))
                window = name;
            if (visit({(flags & (1U << kStateEnabled)) != 0, (flags & (1U << kStateChecked)) != 0,
                       role.value(), name, rect, window}))
                return true;
        }
        const QDBusReply<QList<Ref>> children = node.call(QStringLiteral("GetChildren"));
        if (children.isValid())
            for (const Ref& child : children.value())
                if (walk(child, visit, window))
                    return true;
        return false;
    }

private:
    QDBusConnection mBus;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<Ref>();
    qDBusRegisterMetaType<QList<Ref>>();
    const QStringList args = app.arguments().mid(1);
    const bool find = args.size() >= 2 && args[0] == QLatin1String("find");
    if (!find && args != QStringList{QStringLiteral("list")}) {
        std::fprintf(stderr, "usage: k3100-ui-probe find <name> [role [window]] | list\n");
        return 2;
    }
    QDBusInterface launcher(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                            QStringLiteral("org.a11y.Bus"), QDBusConnection::sessionBus());
    const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
    if (!address.isValid()) {
        std::fprintf(stderr, "k3100-ui-probe: no accessibility bus: %s\n",
                     qPrintable(address.error().message()));
        return 2;
    }
    const Tree tree(QDBusConnection::connectToBus(address.value(), QStringLiteral("a11y")));
    const Ref registry{QStringLiteral("org.a11y.atspi.Registry"),
                       QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    if (!find) {
        tree.walk(registry, [](const Control& c) {
            std::printf("%s\t%s\t%s\t%d %d %d %d\n", c.enabled ? "on" : "off", qPrintable(c.role),
                        qPrintable(c.name), c.extents.x(), c.extents.y(), c.extents.width(),
                        c.extents.height());
            return false;
        });
        return 0;
    }
    const QString role = args.value(2);
    const QString window = args.value(3);
    return tree.walk(registry,
                     [&](const Control& c) {
                         if (!c.enabled || c.name != args[1] || (!role.isEmpty() && c.role != role) ||
                             (!window.isEmpty() && c.window != window) || c.extents.isEmpty())
                             return false;
                         std::printf("%d %d %d %d %d\n", c.extents.x(), c.extents.y(), c.extents.width(),
                                     c.extents.height(), c.checked ? 1 : 0);
                         return true;
                     })
               ? 0
               : 1;
}
