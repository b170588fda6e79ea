// The text a person types into a slider's value field, read and normalised against a range and
// step taken from the input, and the page names that arrive from the command line or the reopen
// notification. The first 24 bytes choose min, max and step (as doubles); the rest is the text.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/form/slider_model.h"
#include "core/settings_pages/feature_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    double numbers[3] = {0, 100, 0};
    if (size >= sizeof numbers) {
        std::memcpy(numbers, data, sizeof numbers);
        data += sizeof numbers;
        size -= sizeof numbers;
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (double& number : numbers) {
        if (!std::isfinite(number)) number = 0;
    }
    tavrel::SliderRange range{std::min(numbers[0], numbers[1]), std::max(numbers[0], numbers[1]),
                              std::fabs(numbers[2])};

    tavrel::SliderModel model(range, tavrel::parseFieldNumber(text));
    const tavrel::SliderUpdate update = model.fieldCommitted(text);
    if (!update.actionValue) __builtin_trap();  // no validator: every value is taken
    const double value = *update.actionValue;
    if (std::isnan(value) || value < range.min || value > range.max) __builtin_trap();
    if (update.fieldText.empty()) __builtin_trap();
    (void)tavrel::formatWholeNumber(value);
    (void)tavrel::formatPercent(value);

    // Page names and launch switches from arbitrary words.
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\0') {
            words.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (const auto name = tavrel::launchPageName(words)) {
        if (!tavrel::selectionForPageName(*name)) __builtin_trap();
    }
    (void)tavrel::selectionForPageName(text);
    (void)tavrel::pageForSubpageIndex(static_cast<int>(size) - 2);
    return 0;
}
