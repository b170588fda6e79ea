#include "platform/linux/qt_screens.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>
#include <utility>

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>

namespace tavrel::platform {
namespace {

std::string trimmed(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

bool hasEdid(const ScreenDescription& screen) {
    return !trimmed(screen.manufacturer).empty() || !trimmed(screen.model).empty() ||
           !trimmed(screen.serialNumber).empty();
}

// The name the identifier is made of. NUL separates the fields, which never hold one.
std::string identityName(const ScreenDescription& screen) {
    if (!hasEdid(screen)) return "connector:" + screen.connector;
    std::string name = "edid:";
    name += trimmed(screen.manufacturer);
    name.push_back('\0');
    name += trimmed(screen.model);
    name.push_back('\0');
    name += trimmed(screen.serialNumber);
    return name;
}

std::string displayName(const ScreenDescription& screen) {
    const std::string manufacturer = trimmed(screen.manufacturer);
    const std::string model = trimmed(screen.model);
    // Some monitors repeat the maker in the model name ("Dell", "DELL U2720Q").
    if (!model.empty() && (manufacturer.empty() || startsWithIgnoringCase(model, manufacturer))) {
        return model;
    }
    if (!manufacturer.empty()) return model.empty() ? manufacturer : manufacturer + " " + model;
    return screen.connector;
}

std::string identifier(std::string_view name) {
    static const Uuid nameSpace = *Uuid::parse(kScreenIdentifierNamespace);
    return nameBasedUuid(nameSpace, name).string();
}

std::string qtext(const QString& text) {
    return text.toStdString();
}

class QtScreens final : public Screens {
public:
    QtScreens() {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (app == nullptr) return;
        const auto changed = [this] { schedule(); };
        QObject::connect(app, &QGuiApplication::screenAdded, &context_, changed);
        QObject::connect(app, &QGuiApplication::screenRemoved, &context_, changed);
        QObject::connect(app, &QGuiApplication::primaryScreenChanged, &context_, changed);
        reported_ = onlineScreens();
    }

    std::vector<ScreenInfo> onlineScreens() const override {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return {};
        std::vector<ScreenDescription> descriptions;
        const QScreen* primary = QGuiApplication::primaryScreen();
        for (const QScreen* screen : QGuiApplication::screens()) {
            descriptions.push_back({qtext(screen->manufacturer()), qtext(screen->model()),
                                    qtext(screen->serialNumber()), qtext(screen->name()),
                                    screen == primary});
        }
        return identifyScreens(descriptions);
    }

    ObserverId observe(std::function<void()> changed) override {
        const ObserverId id = ++lastObserver_;
        observers_.emplace(id, std::move(changed));
        return id;
    }

    void removeObserver(ObserverId id) override { observers_.erase(id); }

private:
    // A removal of the primary display arrives as two signals (primary changed, then removed):
    // both land in one report, after the event that caused them.
    void schedule() {
        if (pending_) return;
        pending_ = true;
        QMetaObject::invokeMethod(
            &context_, [this] { deliver(); }, Qt::QueuedConnection);
    }

    void deliver() {
        pending_ = false;
        std::vector<ScreenInfo> current = onlineScreens();
        if (current == reported_) return;
        reported_ = std::move(current);
        std::vector<ObserverId> ids;
        for (const auto& [id, observer] : observers_) ids.push_back(id);
        for (const ObserverId id : ids) {
            // An observer may remove others (or itself) while we call round.
            const auto found = observers_.find(id);
            if (found == observers_.end()) continue;
            const std::function<void()> observer = found->second;
            if (observer) observer();
        }
    }

    QObject context_;
    std::map<ObserverId, std::function<void()>> observers_;
    ObserverId lastObserver_ = 0;
    std::vector<ScreenInfo> reported_;
    bool pending_ = false;
};

}  // namespace

Uuid nameBasedUuid(const Uuid& nameSpace, std::string_view name) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(nameSpace.bytes.data()),
                                static_cast<qsizetype>(nameSpace.bytes.size())));
    hash.addData(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    const QByteArray digest = hash.result();
    Uuid uuid;
    std::copy_n(reinterpret_cast<const std::uint8_t*>(digest.constData()), uuid.bytes.size(),
                uuid.bytes.begin());
    uuid.bytes[6] = static_cast<std::uint8_t>((uuid.bytes[6] & 0x0F) | 0x50);  // version 5
    uuid.bytes[8] = static_cast<std::uint8_t>((uuid.bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return uuid;
}

std::vector<ScreenInfo> identifyScreens(const std::vector<ScreenDescription>& screens) {
    std::vector<ScreenInfo> infos(screens.size());

    // Which of two identical displays keeps the plain identifier must not depend on which one is
    // primary or which the window system listed first: the connector decides.
    std::vector<std::size_t> byConnector(screens.size());
    std::iota(byConnector.begin(), byConnector.end(), std::size_t{0});
    std::stable_sort(byConnector.begin(), byConnector.end(), [&](std::size_t a, std::size_t b) {
        return screens[a].connector < screens[b].connector;
    });
    std::set<std::string> used;
    for (const std::size_t index : byConnector) {
        const std::string name = identityName(screens[index]);
        std::string id = identifier(name);
        if (used.contains(id)) {
            const std::string withConnector = name + '\0' + "connector:" + screens[index].connector;
            id = identifier(withConnector);
            // The same connector twice (a confused window system): a counter as the last resort.
            for (int n = 2; used.contains(id); ++n) {
                id = identifier(withConnector + '\0' + std::to_string(n));
            }
        }
        used.insert(id);
        infos[index].identifier = std::move(id);
    }

    std::map<std::string, int> nameCounts;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        infos[i].name = displayName(screens[i]);
        ++nameCounts[infos[i].name];
    }
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const std::string& connector = screens[i].connector;
        if (nameCounts[infos[i].name] > 1 && !connector.empty() && infos[i].name != connector) {
            infos[i].name += " (" + connector + ")";
        }
    }

    std::vector<ScreenInfo> ordered;
    ordered.reserve(screens.size());
    const auto primary = std::find_if(screens.begin(), screens.end(),
                                      [](const ScreenDescription& s) { return s.isPrimary; });
    const std::size_t primaryIndex =
        primary == screens.end() ? screens.size() : std::size_t(primary - screens.begin());
    if (primaryIndex < screens.size()) {
        infos[primaryIndex].isPrimary = true;
        ordered.push_back(infos[primaryIndex]);
    }
    for (std::size_t i = 0; i < screens.size(); ++i) {
        if (i != primaryIndex) ordered.push_back(infos[i]);
    }
    return ordered;
}

std::unique_ptr<Screens> makeQtScreens() {
    return std::make_unique<QtScreens>();
}

}  // namespace tavrel::platform
