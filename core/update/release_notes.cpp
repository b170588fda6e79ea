#include "core/update/release_notes.h"

#include <algorithm>
#include <cstddef>

namespace tavrel {

namespace {

constexpr std::size_t kShownReleases = 3;

// Reads exactly `count` ASCII digits at `pos`.
std::optional<int> digits(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool isAt(std::string_view text, std::size_t pos, char c) {
    return pos < text.size() && text[pos] == c;
}

// Blanks and line breaks as Unicode counts them, in UTF-8: the ASCII ones, U+0085, U+00A0,
// U+1680, U+2000–U+200A, U+2028, U+2029, U+202F, U+205F and the ideographic space U+3000.
constexpr std::string_view kWideBlanks[] = {"\u0085", "\u00A0", "\u1680", "\u2000", "\u2001",
                                            "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
                                            "\u2007", "\u2008", "\u2009", "\u200A", "\u2028",
                                            "\u2029", "\u202F", "\u205F", "\u3000"};

bool isAsciiBlankOrLineBreak(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trimBlanksAndLineBreaks(std::string_view text) {
    bool trimmed = true;
    while (trimmed && !text.empty()) {
        trimmed = false;
        if (isAsciiBlankOrLineBreak(text.front())) {
            text.remove_prefix(1);
            trimmed = true;
            continue;
        }
        for (const std::string_view blank : kWideBlanks) {
            if (text.starts_with(blank)) {
                text.remove_prefix(blank.size());
                trimmed = true;
                break;
            }
        }
    }
    trimmed = true;
    while (trimmed && !text.empty()) {
        trimmed = false;
        if (isAsciiBlankOrLineBreak(text.back())) {
            text.remove_suffix(1);
            trimmed = true;
            continue;
        }
        for (const std::string_view blank : kWideBlanks) {
            if (text.ends_with(blank)) {
                text.remove_suffix(blank.size());
                trimmed = true;
                break;
            }
        }
    }
    return text;
}

}  // namespace

std::optional<std::chrono::sys_seconds> parseInternetDateTime(std::string_view text) {
    using namespace std::chrono;
    // YYYY-MM-DDTHH:MM:SS
    const auto year = digits(text, 0, 4);
    const auto monthNumber = digits(text, 5, 2);
    const auto dayNumber = digits(text, 8, 2);
    const auto hour = digits(text, 11, 2);
    const auto minute = digits(text, 14, 2);
    const auto second = digits(text, 17, 2);
    if (!year || !monthNumber || !dayNumber || !hour || !minute || !second) return std::nullopt;
    if (!isAt(text, 4, '-') || !isAt(text, 7, '-') ||
        !(isAt(text, 10, 'T') || isAt(text, 10, 't')) || !isAt(text, 13, ':') ||
        !isAt(text, 16, ':')) {
        return std::nullopt;
    }
    if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
    const year_month_day date{std::chrono::year{*year},
                              std::chrono::month{static_cast<unsigned>(*monthNumber)},
                              std::chrono::day{static_cast<unsigned>(*dayNumber)}};
    if (!date.ok()) return std::nullopt;

    std::size_t pos = 19;
    if (isAt(text, pos, '.')) {  // fractional seconds: at least one digit, not shown
        const std::size_t first = ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
        if (pos == first) return std::nullopt;
    }

    seconds offset{0};
    if (isAt(text, pos, 'Z') || isAt(text, pos, 'z')) {
        ++pos;
    } else if (isAt(text, pos, '+') || isAt(text, pos, '-')) {
        const bool east = text[pos] == '+';
        const auto offsetHours = digits(text, pos + 1, 2);
        const auto offsetMinutes = digits(text, pos + 4, 2);
        if (!offsetHours || !offsetMinutes || !isAt(text, pos + 3, ':') || *offsetHours > 23 ||
            *offsetMinutes > 59) {
            return std::nullopt;
        }
        offset = hours{*offsetHours} + minutes{*offsetMinutes};
        if (!east) offset = -offset;
        pos += 6;
    } else {
        return std::nullopt;  // a time without a zone names no moment
    }
    if (pos != text.size()) return std::nullopt;

    const sys_seconds local = sys_days{date} + hours{*hour} + minutes{*minute} + seconds{*second};
    return local - offset;
}

std::optional<std::string> formattedReleaseDate(std::string_view createdAt,
                                                const UtcOffsetAt& utcOffsetAt) {
    using namespace std::chrono;
    const auto moment = parseInternetDateTime(createdAt);
    if (!moment) return std::nullopt;
    const seconds offset = utcOffsetAt ? utcOffsetAt(*moment) : seconds{0};
    const year_month_day date{floor<days>(*moment + offset)};
    const int year = static_cast<int>(date.year());
    std::string text;
    if (year >= 0 && year < 1000) {  // the year always in four digits
        const std::string digitsOnly = std::to_string(year);
        text.assign(4 - digitsOnly.size(), '0');
    }
    text += std::to_string(year) + "年" + std::to_string(static_cast<unsigned>(date.month())) +
            "月" + std::to_string(static_cast<unsigned>(date.day())) + "日";
    return text;
}

std::string releaseNotesText(const std::vector<SettingsUpdateVersionRecord>& versions,
                             const UtcOffsetAt& utcOffsetAt) {
    std::string text;
    const std::size_t shown = std::min(versions.size(), kShownReleases);
    for (std::size_t i = 0; i < shown; ++i) {
        const SettingsUpdateVersionRecord& record = versions[i];
        if (i > 0) text += "\n\n";
        text += "版本 " + record.version;
        if (const auto date = formattedReleaseDate(record.createdAt, utcOffsetAt)) {
            text += "    更新日期：" + *date;
        }
        text += "\n";
        text += trimBlanksAndLineBreaks(record.releaseNotes);
    }
    return text;
}

}  // namespace tavrel
