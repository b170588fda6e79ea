#include "core/foundation/utf8.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(Utf8, AcceptsWellFormedText) {
    for (std::string_view good : {"", "abc", "新建文件", "Straße", "\xF0\x9F\x98\x80",
                                  "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(isValidUtf8(good)) << good;
    }
}

TEST(Utf8, RefusesMalformedText) {
    for (std::string_view bad : {
             "\x80",               // lone continuation byte
             "\xC3",               // truncated sequence
             "\xC0\xAF",           // overlong "/"
             "\xE0\x80\xAF",       // overlong "/"
             "\xED\xA0\x80",       // surrogate
             "\xF4\x90\x80\x80",   // above U+10FFFF
             "\xFF",               // never valid
             "a\xE6\x96\xB0\xE5",  // truncated at the end
         }) {
        EXPECT_FALSE(isValidUtf8(bad));
    }
}

}  // namespace
}  // namespace tavrel
