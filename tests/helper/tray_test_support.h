#pragma once

// What a tray host needs on a private session bus, played by the test: a fake
// org.kde.StatusNotifierWatcher that records the items registering with it, a private X server
// (Qt offers tray icons only on a windowing platform), and reading an item's menu over
// com.canonical.dbusmenu.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace tavrel::testing {

class FakeStatusNotifierWatcher final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit FakeStatusNotifierWatcher(QObject* parent) : QDBusAbstractAdaptor(parent) {}

    QStringList registeredItems() const { return items_; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    // The bus names of the items, in the order they registered.
    const std::vector<QString>& senders() const { return senders_; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& item, const QDBusMessage& message) {
        items_ << item;
        senders_.push_back(message.service());
        Q_EMIT StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    QStringList items_;
    std::vector<QString> senders_;
};

// Counts a D-Bus signal.
class SignalCounter final : public QObject {
    Q_OBJECT
public:
    int count = 0;
public Q_SLOTS:
    void onSignal() { ++count; }
};

// One entry of a dbusmenu layout.
struct MenuEntry {
    int id = 0;
    QString label;
    bool separator = false;
};

// The watcher on the session bus of this process, owning its well-known name.
class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    bool ok() const { return ok_; }
    FakeStatusNotifierWatcher& watcher() { return *watcher_; }

private:
    std::unique_ptr<QObject> root_;
    FakeStatusNotifierWatcher* watcher_ = nullptr;
    bool ok_ = false;
};

// Xvfb on a display of its own choosing.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    // ":N", or nothing when no X server could be started.
    const std::optional<QString>& name() const { return name_; }

private:
    QProcess server_;
    std::optional<QString> name_;
};

// Plays a window manager on `display`: makes one window per pid (with _NET_WM_PID) and names
// them in turn, in this order, as the root window's _NET_ACTIVE_WINDOW. False when the display
// cannot be reached.
bool activateWindows(const QString& display, const std::vector<std::uint32_t>& pids);

// Returns once the bus daemon has handled everything this process sent on its session-bus
// connection, signal subscriptions included: what others send from now on reaches them.
bool syncSessionBus();

// A property of the item (org.kde.StatusNotifierItem on /StatusNotifierItem).
std::optional<QVariant> itemProperty(const QString& service, const char* name);
// The object path the item names for its menu ("/NO_DBUSMENU" for none).
std::optional<QString> itemMenuPath(const QString& service);
// The title of the item's tooltip, which hosts show on hover.
std::optional<QString> itemToolTipTitle(const QString& service);

// The top-level entries of the item's menu (GetLayout on /MenuBar).
std::optional<std::vector<MenuEntry>> menuLayout(const QString& service);
bool menuAboutToShow(const QString& service);
bool menuClicked(const QString& service, int id);

}  // namespace tavrel::testing
