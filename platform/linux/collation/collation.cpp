#include "platform/collation.h"

#include <QCollator>
#include <QLocale>
#include <QString>

namespace tavrel::platform {

namespace {

// The "C" locale has no collation of its own (Qt then compares code points, numbers included),
// so a process started without a language orders names as an English desktop would.
QLocale collationLocale() {
    const QLocale current;
    if (current.language() == QLocale::C) return QLocale(QLocale::English, QLocale::UnitedStates);
    return current;
}

const QCollator& collator() {
    // One per thread: QCollator is not safe to share, and making one is not cheap.
    thread_local QLocale locale = collationLocale();
    thread_local QCollator instance = [] {
        QCollator made(locale);
        made.setNumericMode(true);
        return made;
    }();
    const QLocale now = collationLocale();
    if (now != locale) {
        locale = now;
        instance.setLocale(now);
    }
    return instance;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int compareNamesForDisplay(std::string_view a, std::string_view b) {
    return collator().compare(fromUtf8(a), fromUtf8(b));
}

}  // namespace tavrel::platform
