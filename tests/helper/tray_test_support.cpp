#include "tests/helper/tray_test_support.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include <xcb/xcb.h>

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QStandardPaths>

namespace tavrel::testing {

namespace {

constexpr char kMenuPath[] = "/MenuBar";
constexpr char kMenuInterface[] = "com.canonical.dbusmenu";

QDBusMessage menuCall(const QString& service, const char* method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, QString::fromLatin1(kMenuPath),
                                                       QString::fromLatin1(kMenuInterface),
                                                       QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
}

}  // namespace

TrayHost::TrayHost() : root_(std::make_unique<QObject>()) {
    watcher_ = new FakeStatusNotifierWatcher(root_.get());
    QDBusConnection bus = QDBusConnection::sessionBus();
    ok_ = bus.isConnected() &&
          bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), root_.get()) &&
          bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

TrayHost::~TrayHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
}

PrivateDisplay::PrivateDisplay() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) return;
    // -displayfd: the server picks a free display and writes its number once it accepts clients.
    server_.start(xvfb,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("1280x800x24")});
    if (!server_.waitForStarted(10000)) return;
    while (!server_.canReadLine()) {
        if (!server_.waitForReadyRead(20000)) return;
    }
    const QString number = QString::fromLatin1(server_.readLine()).trimmed();
    if (!number.isEmpty()) name_ = QStringLiteral(":") + number;
}

PrivateDisplay::~PrivateDisplay() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished(5000);
    }
}

bool activateWindows(const QString& display, const std::vector<std::uint32_t>& pids) {
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection) xcb_disconnect(connection);
        return false;
    }
    auto atom = [&](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return value;
    };
    const xcb_atom_t activeWindow = atom("_NET_ACTIVE_WINDOW");
    const xcb_atom_t windowPid = atom("_NET_WM_PID");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    std::map<std::uint32_t, xcb_window_t> windows;
    for (std::uint32_t pid : pids) {
        if (windows.count(pid)) continue;
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, windowPid, XCB_ATOM_CARDINAL,
                            32, 1, &pid);
        windows[pid] = window;
    }
    for (std::uint32_t pid : pids) {
        const xcb_window_t window = windows[pid];
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root, activeWindow,
                            XCB_ATOM_WINDOW, 32, 1, &window);
    }
    // A round trip: the server has applied every change before this returns.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
    return true;
}

bool syncSessionBus() {
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    return QDBusConnection::sessionBus().call(ping, QDBus::Block, 10000).type() ==
           QDBusMessage::ReplyMessage;
}

std::optional<QVariant> itemProperty(const QString& service, const char* name) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call.setArguments({QStringLiteral("org.kde.StatusNotifierItem"), QString::fromLatin1(name)});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        qWarning("Get %s of %s failed: %s", name, qPrintable(service),
                 qPrintable(reply.errorMessage()));
        return std::nullopt;
    }
    return reply.arguments().at(0).value<QDBusVariant>().variant();
}

std::optional<QString> itemMenuPath(const QString& service) {
    const auto value = itemProperty(service, "Menu");
    if (!value || !value->canConvert<QDBusObjectPath>()) return std::nullopt;
    return value->value<QDBusObjectPath>().path();
}

std::optional<QString> itemToolTipTitle(const QString& service) {
    const auto value = itemProperty(service, "ToolTip");
    if (!value) return std::nullopt;
    // (sa(iiay)ss): icon name, icon pixmaps, title, text.
    const QDBusArgument toolTip = value->value<QDBusArgument>();
    QString iconName;
    QString title;
    QString text;
    toolTip.beginStructure();
    toolTip >> iconName;
    toolTip.beginArray();
    while (!toolTip.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        toolTip.beginStructure();
        toolTip >> width >> height >> pixels;
        toolTip.endStructure();
    }
    toolTip.endArray();
    toolTip >> title >> text;
    toolTip.endStructure();
    return title;
}

std::optional<std::vector<MenuEntry>> menuLayout(const QString& service) {
    const QDBusMessage reply = menuCall(service, "GetLayout", {0, -1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
        qWarning("GetLayout of %s failed: %s", qPrintable(service),
                 qPrintable(reply.errorMessage()));
        return std::nullopt;
    }
    // (ia{sv}av): the root, whose children are variants holding the same structure.
    const QDBusArgument root = reply.arguments().at(1).value<QDBusArgument>();
    int rootId = 0;
    QVariantMap rootProperties;
    root.beginStructure();
    root >> rootId >> rootProperties;
    std::vector<MenuEntry> entries;
    root.beginArray();
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const QDBusArgument item = child.variant().value<QDBusArgument>();
        MenuEntry entry;
        QVariantMap properties;
        item.beginStructure();
        item >> entry.id >> properties;
        item.beginArray();
        while (!item.atEnd()) {
            QDBusVariant grandchild;
            item >> grandchild;
        }
        item.endArray();
        item.endStructure();
        entry.label = properties.value(QStringLiteral("label")).toString();
        entry.separator =
            properties.value(QStringLiteral("type")).toString() == QStringLiteral("separator");
        entries.push_back(entry);
    }
    root.endArray();
    root.endStructure();
    return entries;
}

bool menuAboutToShow(const QString& service) {
    return menuCall(service, "AboutToShow", {0}).type() == QDBusMessage::ReplyMessage;
}

bool menuClicked(const QString& service, int id) {
    return menuCall(service, "Event",
                    {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u})
               .type() == QDBusMessage::ReplyMessage;
}

}  // namespace tavrel::testing
