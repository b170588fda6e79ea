#include "core/native_dock/native_dock_defaults_errors.h"

namespace tavrel {
namespace {

std::string pairFragment(std::string_view domain, std::string_view key) {
    std::string text = "(";
    text.append(domain).append(", ").append(key).append(") does not exist");
    return text;
}

}  // namespace

bool NativeDockDefaultsErrors::isMissingKey(std::string_view output, std::string_view domain,
                                            std::string_view key) {
    const auto contains = [&](const std::string& needle) {
        return output.find(needle) != std::string_view::npos;
    };
    return contains(pairFragment(domain, key)) || contains(missingKeyText(domain, key)) ||
           contains(missingDomainText(domain));
}

std::string NativeDockDefaultsErrors::missingPairText(std::string_view domain,
                                                      std::string_view key) {
    return "The domain/default pair of " + pairFragment(domain, key);
}

std::string NativeDockDefaultsErrors::missingKeyText(std::string_view domain,
                                                     std::string_view key) {
    std::string text = "Could not find key '";
    text.append(key).append("' in domain '").append(domain).append("'.");
    return text;
}

std::string NativeDockDefaultsErrors::missingDomainText(std::string_view domain) {
    std::string text = "Domain (";
    text.append(domain).append(") not found.");
    return text;
}

}  // namespace tavrel
