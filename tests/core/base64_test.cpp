#include "core/foundation/base64.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(Base64, EncodesTheStandardVectors) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe\x00?", "//4APw=="},
    };
    for (const auto& [plain, encoded] : cases) {
        const std::string bytes(plain.data(), plain == "\xff\xfe\x00?" ? 4 : plain.size());
        EXPECT_EQ(base64::encode(bytes), encoded);
        const auto decoded = base64::decode(encoded);
        ASSERT_TRUE(decoded) << encoded;
        EXPECT_EQ(std::string(decoded->begin(), decoded->end()), bytes);
    }
}

TEST(Base64, RefusesAnythingButTheCanonicalPaddedForm) {
    for (std::string_view bad : {"Zg", "Zg=", "Zm9v\n", "Zm 9v", "Z===", "=Zg=", "Zg==Zg==", "Zh==",
                                 "Zm9=", "Zm-v", "Zm_v", "Zm9v====", "YQ=a"}) {
        EXPECT_FALSE(base64::decode(bad)) << '"' << bad << '"';
    }
}

TEST(Base64, DecodedSizeIsKnownBeforeDecoding) {
    EXPECT_EQ(base64::decodedSize(""), 0u);
    EXPECT_EQ(base64::decodedSize("Zg=="), 1u);
    EXPECT_EQ(base64::decodedSize("Zm8="), 2u);
    EXPECT_EQ(base64::decodedSize("Zm9vYmFy"), 6u);
    EXPECT_FALSE(base64::decodedSize("Zm9vY"));
}

}  // namespace
}  // namespace tavrel
