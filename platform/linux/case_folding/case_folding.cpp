#include "platform/case_folding.h"

#include <cstdint>
#include <limits>

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace tavrel::platform {

std::string caselessMatchKey(std::string_view text) {
    // Canonical caseless match: NFD(fold(NFD(text))). The inner decomposition lets folding see
    // every base letter; the outer one puts what folding produced back into one canonical order.
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
        return std::string(text);  // beyond ICU's string length; no caller comes near it
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    auto unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string key;
    if (U_FAILURE(status) || nfd == nullptr) {
        // Without normalisation data, folding alone still matches every precomposed text.
        unicode.foldCase(U_FOLD_CASE_DEFAULT).toUTF8String(key);
        return key;
    }
    icu::UnicodeString decomposed = nfd->normalize(unicode, status);
    decomposed.foldCase(U_FOLD_CASE_DEFAULT);
    icu::UnicodeString result = nfd->normalize(decomposed, status);
    if (U_FAILURE(status)) {
        unicode.foldCase(U_FOLD_CASE_DEFAULT).toUTF8String(key);
        return key;
    }
    result.toUTF8String(key);
    return key;
}

}  // namespace tavrel::platform
