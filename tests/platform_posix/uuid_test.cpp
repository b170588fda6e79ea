#include "platform/uuid.h"

#include <regex>
#include <set>

#include <gtest/gtest.h>

namespace tavrel::platform {
namespace {

TEST(Uuid, RandomUuidsAreVersion4InCanonicalTextAndRoundTrip) {
    const std::regex upper("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    const std::regex lower("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const Uuid uuid = Uuid::random();
        const std::string text = uuid.string();
        ASSERT_TRUE(std::regex_match(text, upper)) << text;
        ASSERT_TRUE(std::regex_match(uuid.lowercaseString(), lower)) << uuid.lowercaseString();
        EXPECT_EQ(Uuid::parse(text), uuid);
        EXPECT_EQ(Uuid::parse(uuid.lowercaseString()), uuid);
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 200u);
}

TEST(Uuid, ParsesAnyCaseAndRefusesEverythingElse) {
    const auto parsed = Uuid::parse("00112233-4455-6677-8899-aAbBcCdDeEfF");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->string(), "00112233-4455-6677-8899-AABBCCDDEEFF");
    EXPECT_EQ(parsed->lowercaseString(), "00112233-4455-6677-8899-aabbccddeeff");

    for (const char* text : {
             "",
             "00112233-4455-6677-8899-AABBCCDDEEF",    // short
             "00112233-4455-6677-8899-AABBCCDDEEFF0",  // long
             "{00112233-4455-6677-8899-AABBCCDDEEF}",
             "001122334455-6677-8899-AABBCCDDEEFF-",  // dashes elsewhere
             "00112233-4455-6677-8899_AABBCCDDEEFF",
             "0011223-34455-6677-8899-AABBCCDDEEFF",
             "00112233-4455-6677-8899-AABBCCDDEEFG",  // not hexadecimal
             "00112233-4455-6677-8899-AABBCCDDEE F",
             "+0112233-4455-6677-8899-AABBCCDDEEFF",
             "00112233 4455 6677 8899 AABBCCDDEEFF",
         }) {
        EXPECT_FALSE(Uuid::parse(text)) << text;
    }
}

}  // namespace
}  // namespace tavrel::platform
