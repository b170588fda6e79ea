#include "platform/linux/property_list.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "core/foundation/utf8.h"

namespace tavrel::platform::detail {
namespace {

// libplist 2.2 decodes binary property lists recursively and copies an object once for every
// reference to it, so a few hundred bytes of shared references or a deep chain of arrays would
// exhaust memory or the stack. Binary input is therefore walked here first, without recursion,
// and refused when its decoded tree would be deeper or larger than any real preference file.
constexpr std::size_t kMaxNestingDepth = 256;
constexpr std::uint64_t kMaxDecodedNodes = 200'000;

class BinaryPlistShape {
public:
    explicit BinaryPlistShape(std::string_view bytes) : bytes_(bytes) {}

    Status check() {
        constexpr std::size_t kHeader = 8;
        constexpr std::size_t kTrailer = 32;
        if (bytes_.size() < kHeader + kTrailer) return fail("too short");
        const std::size_t trailer = bytes_.size() - kTrailer;
        offsetSize_ = static_cast<unsigned char>(bytes_[trailer + 6]);
        refSize_ = static_cast<unsigned char>(bytes_[trailer + 7]);
        const std::uint64_t objectCount = bigEndian(trailer + 8, 8);
        const std::uint64_t root = bigEndian(trailer + 16, 8);
        const std::uint64_t tableOffset = bigEndian(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) {
            return fail("bad field sizes");
        }
        if (objectCount == 0 || root >= objectCount) return fail("bad object count");
        if (tableOffset < kHeader || tableOffset > trailer ||
            objectCount > (trailer - tableOffset) / offsetSize_) {
            return fail("bad offset table");
        }
        tableOffset_ = static_cast<std::size_t>(tableOffset);
        objectCount_ = static_cast<std::size_t>(objectCount);
        objectsEnd_ = trailer;
        return walk(static_cast<std::size_t>(root));
    }

private:
    enum class Mark : std::uint8_t { unvisited, open, done };
    struct Frame {
        std::size_t object;
        std::vector<std::size_t> children;
        std::size_t next = 0;
        std::uint64_t nodes = 1;
    };

    // Depth-first over the object graph; each object's decoded size is the sum over its
    // references, counted as often as it is referenced (that is what libplist builds).
    Status walk(std::size_t root) {
        std::vector<Mark> marks(objectCount_, Mark::unvisited);
        std::vector<std::uint64_t> nodes(objectCount_, 0);
        std::vector<Frame> stack;
        if (Status s = push(stack, marks, root); !s) return s;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next < top.children.size()) {
                const std::size_t child = top.children[top.next++];
                if (marks[child] == Mark::open) return fail("reference cycle");
                if (marks[child] == Mark::done) {
                    top.nodes += nodes[child];
                    if (top.nodes > kMaxDecodedNodes) return fail("too many objects");
                    continue;
                }
                if (stack.size() >= kMaxNestingDepth) return fail("nested too deeply");
                if (Status s = push(stack, marks, child); !s) return s;
                continue;
            }
            const std::size_t finished = top.object;
            const std::uint64_t count = top.nodes;
            marks[finished] = Mark::done;
            nodes[finished] = count;
            stack.pop_back();
            if (!stack.empty()) {
                stack.back().nodes += count;
                if (stack.back().nodes > kMaxDecodedNodes) return fail("too many objects");
            }
        }
        return Status::success();
    }

    Status push(std::vector<Frame>& stack, std::vector<Mark>& marks, std::size_t object) {
        Frame frame{object, {}};
        if (Status s = references(object, frame.children); !s) return s;
        marks[object] = Mark::open;
        stack.push_back(std::move(frame));
        return Status::success();
    }

    // The objects an array, set or dictionary refers to; nothing for scalars.
    Status references(std::size_t object, std::vector<std::size_t>& out) {
        const std::uint64_t offset = bigEndian(tableOffset_ + object * offsetSize_, offsetSize_);
        if (offset < 8 || offset >= objectsEnd_) return fail("object outside the data");
        std::size_t at = static_cast<std::size_t>(offset);
        const auto marker = static_cast<unsigned char>(bytes_[at++]);
        const unsigned kind = marker >> 4;
        if (kind != 0xA && kind != 0xC && kind != 0xD) return Status::success();
        std::uint64_t count = marker & 0x0F;
        if (count == 0x0F) {
            if (at >= objectsEnd_) return fail("truncated count");
            const auto intMarker = static_cast<unsigned char>(bytes_[at++]);
            const unsigned width = 1u << (intMarker & 0x0F);
            if ((intMarker >> 4) != 0x1 || width > 8 || width > objectsEnd_ - at) {
                return fail("bad count");
            }
            count = bigEndian(at, width);
            at += width;
        }
        const std::uint64_t refs = kind == 0xD ? count * 2 : count;
        if (count > objectsEnd_ || refs > (objectsEnd_ - at) / refSize_) {
            return fail("container larger than the data");
        }
        out.reserve(static_cast<std::size_t>(refs));
        for (std::uint64_t i = 0; i < refs; ++i, at += refSize_) {
            const std::uint64_t ref = bigEndian(at, refSize_);
            if (ref >= objectCount_) return fail("reference out of range");
            out.push_back(static_cast<std::size_t>(ref));
        }
        return Status::success();
    }

    std::uint64_t bigEndian(std::size_t at, std::size_t width) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            value = (value << 8) | static_cast<unsigned char>(bytes_[at + i]);
        }
        return value;
    }

    static Status fail(const char* why) {
        return Error{std::string("malformed binary property list: ") + why};
    }

    std::string_view bytes_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::size_t tableOffset_ = 0;
    std::size_t objectCount_ = 0;
    std::size_t objectsEnd_ = 0;
};

}  // namespace

Result<PlistPtr> decodePropertyListDictionary(std::string_view bytes, std::size_t maxBytes) {
    if (bytes.size() > maxBytes) {
        return Error{"property list is larger than " + std::to_string(maxBytes) + " bytes"};
    }
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Error{"property list is too large"};
    }
    // The parser gets its own NUL-terminated copy: it must never read past what we hand it.
    const std::string copy(bytes);
    const auto length = static_cast<std::uint32_t>(copy.size());
    if (plist_is_binary(copy.c_str(), length)) {
        if (Status shape = BinaryPlistShape(copy).check(); !shape) return shape.error();
    }
    plist_t root = nullptr;
    plist_from_memory(copy.c_str(), length, &root);
    PlistPtr owned(root);
    if (!owned) return Error{"not a property list"};
    if (plist_get_node_type(root) != PLIST_DICT) {
        return Error{"the property list's root is not a dictionary"};
    }
    return owned;
}

std::optional<std::string> plistString(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (text == nullptr) return std::nullopt;
    std::string value(text, static_cast<std::size_t>(length));
    if (!isValidUtf8(value)) return std::nullopt;
    return value;
}

}  // namespace tavrel::platform::detail
