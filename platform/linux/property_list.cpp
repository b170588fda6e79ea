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
// The size of the tree is estimated as a fixed cost per node plus the bytes of its text or data.
constexpr std::size_t kMaxNestingDepth = 256;
constexpr std::uint64_t kNodeCost = 64;
constexpr std::uint64_t kMaxDecodedCost = 16 * 1024 * 1024;

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
        std::uint64_t cost = 0;
    };

    // Depth-first over the object graph; each object's decoded size is the sum over its
    // references, counted as often as it is referenced (that is what libplist builds).
    Status walk(std::size_t root) {
        std::vector<Mark> marks(objectCount_, Mark::unvisited);
        std::vector<std::uint64_t> costs(objectCount_, 0);
        std::vector<Frame> stack;
        if (Status s = push(stack, marks, root); !s) return s;
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next < top.children.size()) {
                const std::size_t child = top.children[top.next++];
                if (marks[child] == Mark::open) return fail("reference cycle");
                if (marks[child] == Mark::done) {
                    top.cost += costs[child];
                    if (top.cost > kMaxDecodedCost) return fail("decodes too large");
                    continue;
                }
                if (stack.size() >= kMaxNestingDepth) return fail("nested too deeply");
                if (Status s = push(stack, marks, child); !s) return s;
                continue;
            }
            const std::size_t finished = top.object;
            const std::uint64_t cost = top.cost;
            marks[finished] = Mark::done;
            costs[finished] = cost;
            stack.pop_back();
            if (!stack.empty()) {
                stack.back().cost += cost;
                if (stack.back().cost > kMaxDecodedCost) return fail("decodes too large");
            }
        }
        return Status::success();
    }

    Status push(std::vector<Frame>& stack, std::vector<Mark>& marks, std::size_t object) {
        Frame frame{object, {}};
        if (Status s = references(object, frame.children, frame.cost); !s) return s;
        marks[object] = Mark::open;
        stack.push_back(std::move(frame));
        return Status::success();
    }

    // An object's marker: its kind (high nibble) and its length or count, which continues in an
    // integer object when the low nibble is 0xF.
    struct Header {
        unsigned kind = 0;
        std::uint64_t length = 0;
        std::size_t body = 0;  // where its contents start
    };

    Status header(std::size_t object, Header& out) const {
        const std::uint64_t offset = bigEndian(tableOffset_ + object * offsetSize_, offsetSize_);
        if (offset < 8 || offset >= objectsEnd_) return fail("object outside the data");
        std::size_t at = static_cast<std::size_t>(offset);
        const auto marker = static_cast<unsigned char>(bytes_[at++]);
        out.kind = marker >> 4;
        out.length = marker & 0x0F;
        const bool sized = out.kind >= 0x4 && out.kind != 0x8;  // data, text and containers
        if (sized && out.length == 0x0F) {
            if (at >= objectsEnd_) return fail("truncated length");
            const auto intMarker = static_cast<unsigned char>(bytes_[at++]);
            const unsigned width = 1u << (intMarker & 0x0F);
            if ((intMarker >> 4) != 0x1 || width > 8 || width > objectsEnd_ - at) {
                return fail("bad length");
            }
            out.length = bigEndian(at, width);
            at += width;
        }
        out.body = at;
        return Status::success();
    }

    // The objects an array, set or dictionary refers to (nothing for scalars), and the cost of
    // the object itself.
    Status references(std::size_t object, std::vector<std::size_t>& out, std::uint64_t& cost) {
        Header h;
        if (Status s = header(object, h); !s) return s;
        const std::size_t room = objectsEnd_ - h.body;
        cost = kNodeCost;
        if (h.kind == 0x4 || h.kind == 0x5 || h.kind == 0x6) {
            // Data, ASCII and UTF-16 text: one copy per reference, UTF-16 growing into UTF-8.
            const std::uint64_t unit = h.kind == 0x6 ? 2 : 1;
            if (h.length > room / unit) return fail("text larger than the data");
            cost += h.kind == 0x6 ? h.length * 3 : h.length;
            return Status::success();
        }
        if (h.kind != 0xA && h.kind != 0xC && h.kind != 0xD) return Status::success();
        const std::uint64_t count = h.length;
        if (count > room || (h.kind == 0xD ? count * 2 : count) > room / refSize_) {
            return fail("container larger than the data");
        }
        const std::uint64_t refs = h.kind == 0xD ? count * 2 : count;
        out.reserve(static_cast<std::size_t>(refs));
        std::size_t at = h.body;
        for (std::uint64_t i = 0; i < refs; ++i, at += refSize_) {
            const std::uint64_t ref = bigEndian(at, refSize_);
            if (ref >= objectCount_) return fail("reference out of range");
            out.push_back(static_cast<std::size_t>(ref));
            if (h.kind == 0xD && i < count) {
                if (Status key = checkKey(static_cast<std::size_t>(ref)); !key) return key;
            }
        }
        return Status::success();
    }

    // Dictionary keys must be strings without NUL: libplist 2.2 aborts the whole process (a
    // failed assertion) when it hands out a key whose length disagrees with strlen().
    Status checkKey(std::size_t object) {
        if (checkedKeys_.empty()) checkedKeys_.assign(objectCount_, false);
        if (checkedKeys_[object]) return Status::success();
        Header h;
        if (Status s = header(object, h); !s) return s;
        if (h.kind != 0x5 && h.kind != 0x6) return fail("a dictionary key is not a string");
        const std::size_t unit = h.kind == 0x6 ? 2 : 1;
        if (h.length > (objectsEnd_ - h.body) / unit) return fail("key larger than the data");
        std::size_t at = h.body;
        for (std::uint64_t i = 0; i < h.length; ++i, at += unit) {
            if (bigEndian(at, unit) == 0) return fail("a dictionary key holds a NUL");
        }
        checkedKeys_[object] = true;
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
    std::vector<bool> checkedKeys_;
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
