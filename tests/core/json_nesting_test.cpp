#include "core/foundation/json_nesting.h"

#include <string>

#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(JsonNestingDepth, CountsBracketsOutsideStringsOnly) {
    struct Case {
        std::string text;
        int depth;
    };
    const Case cases[] = {
        {"", 0},
        {"42", 0},
        {"{}", 1},
        {R"({"a": [1, {"b": []}]})", 4},
        {R"(["[[[", "{{{"])", 1},
        // An escaped quote does not end the string; an escaped backslash does not escape it.
        {R"(["\"[[[", 1])", 1},
        {R"(["\\", [[]]])", 3},
        {R"([], [], [[]])", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(jsonNestingDepth(c.text, 64), c.depth) << c.text;
    }
}

TEST(JsonNestingDepth, StopsJustPastTheLimit) {
    const std::string deep(1'000'000, '[');
    EXPECT_EQ(jsonNestingDepth(deep, 32), 33);
    EXPECT_EQ(jsonNestingDepth(std::string(32, '[') + std::string(32, ']'), 32), 32);
}

}  // namespace
}  // namespace tavrel
