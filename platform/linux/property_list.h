#pragma once

// Shared by the preference domains and Info.plist: libplist behind a small owning wrapper, so
// each caller decodes XML or binary property lists the same way and frees what it decodes.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <plist/plist.h>

#include "core/foundation/result.h"

namespace tavrel::platform::detail {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Decodes XML or binary property list bytes whose root is a dictionary. Larger inputs than
// `maxBytes` are refused before libplist sees them.
Result<PlistPtr> decodePropertyListDictionary(std::string_view bytes, std::size_t maxBytes);

// The bytes of a string node, when `node` is a string holding valid UTF-8.
std::optional<std::string> plistString(plist_t node);

}  // namespace tavrel::platform::detail
