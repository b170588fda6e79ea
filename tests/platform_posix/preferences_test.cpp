#include "platform/preferences.h"

#include <cstdlib>
#include <fstream>

#include <plist/plist.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel::platform {
namespace {

std::string xmlPlist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" +
           body + "\n</plist>\n";
}

// Every supported type, and one of each kind that is left out.
const std::string kEveryTypeXml = xmlPlist(R"(<dict>
  <key>autohide</key><true/>
  <key>magnification</key><false/>
  <key>tilesize</key><integer>48</integer>
  <key>offset</key><integer>-7</integer>
  <key>autohide-delay</key><real>0.25</real>
  <key>orientation</key><string>left</string>
  <key>名称</key><string>底部</string>
  <key>persistent-apps</key><array><string>x</string></array>
  <key>nested</key><dict><key>a</key><true/></dict>
  <key>mod-count</key><date>2024-01-02T03:04:05Z</date>
  <key>blob</key><data>AAEC</data>
</dict>)");

const PreferenceDomain kEveryTypeExpected{
    {"autohide", true},
    {"magnification", false},
    {"tilesize", std::int64_t{48}},
    {"offset", std::int64_t{-7}},
    {"autohide-delay", 0.25},
    {"orientation", std::string("left")},
    {"名称", std::string("底部")},
};

std::string toBinary(const std::string& xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
    EXPECT_NE(root, nullptr);
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    std::string binary(bytes, length);
    plist_to_bin_free(bytes);
    plist_free(root);
    return binary;
}

// A binary property list written by hand: a dictionary {"k": top}, where each array refers to
// the one before it `fanOut` times, down to an integer (or a text of `leafBytes` bytes).
std::string chainedBinaryPlist(int depth, int fanOut, std::uint32_t leafBytes = 0) {
    std::string out = "bplist00";
    std::vector<std::uint32_t> offsets;
    const auto add = [&](std::string object) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        out += object;
    };
    const auto ref = [](std::uint32_t index) {
        return std::string{static_cast<char>(index >> 24), static_cast<char>(index >> 16),
                           static_cast<char>(index >> 8), static_cast<char>(index)};
    };
    add("\x51k");
    if (leafBytes == 0) {
        add(std::string("\x10\x01", 2));
    } else {
        add("\x5F\x12" + ref(leafBytes) + std::string(leafBytes, 't'));
    }
    for (int level = 0; level < depth; ++level) {
        const auto previous = static_cast<std::uint32_t>(offsets.size() - 1);
        std::string array(1, static_cast<char>(0xA0 | fanOut));
        for (int i = 0; i < fanOut; ++i) array += ref(previous);
        add(array);
    }
    const auto top = static_cast<std::uint32_t>(offsets.size() - 1);
    add("\xD1" + ref(0) + ref(top));
    const auto table = static_cast<std::uint32_t>(out.size());
    for (auto offset : offsets) out += ref(offset);
    std::string trailer(6, '\0');
    trailer += '\x04';  // offset size
    trailer += '\x04';  // reference size
    for (std::uint64_t field :
         {std::uint64_t{offsets.size()}, std::uint64_t{offsets.size() - 1}, std::uint64_t{table}}) {
        for (int shift = 56; shift >= 0; shift -= 8) trailer += static_cast<char>(field >> shift);
    }
    return out + trailer;
}

TEST(DecodePreferenceDomain, KeepsScalarValuesOfXmlAndBinaryLists) {
    for (const auto& [format, bytes] :
         {std::pair{"xml", kEveryTypeXml}, std::pair{"binary", toBinary(kEveryTypeXml)}}) {
        SCOPED_TRACE(format);
        auto domain = decodePreferenceDomain(bytes);
        ASSERT_TRUE(domain.ok()) << domain.error().message;
        EXPECT_EQ(*domain, kEveryTypeExpected);
    }
}

TEST(DecodePreferenceDomain, RefusesWhatIsNotADictionaryList) {
    const std::string binary = toBinary(kEveryTypeXml);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"text", "orientation = left"},
        {"json", R"({"orientation": "left"})"},
        {"array root", xmlPlist("<array><string>left</string></array>")},
        {"string root", xmlPlist("<string>left</string>")},
        {"binary array root", toBinary(xmlPlist("<array><true/></array>"))},
        {"unterminated xml", kEveryTypeXml.substr(0, kEveryTypeXml.size() / 2)},
        {"truncated binary", binary.substr(0, binary.size() - 9)},
        {"binary header only", "bplist00"},
        {"shared references", chainedBinaryPlist(40, 2)},
        {"shared long text", chainedBinaryPlist(2, 14, 100000)},
        {"binary key holding a NUL",
         [] {
             std::string bytes = toBinary(xmlPlist("<dict><key>zq</key><true/></dict>"));
             bytes[bytes.find("zq") + 1] = '\0';
             return bytes;
         }()},
        {"deep nesting", chainedBinaryPlist(60000, 1)},
        {"reference cycle",
         // {"k": [itself]}
         chainedBinaryPlist(1, 1).replace(13, 4, std::string("\0\0\0\x02", 4))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto domain = decodePreferenceDomain(c.bytes);
        EXPECT_FALSE(domain.ok());
    }
    // The hand-made lists are well formed when small.
    EXPECT_TRUE(decodePreferenceDomain(chainedBinaryPlist(8, 2)).ok());
    EXPECT_TRUE(decodePreferenceDomain(chainedBinaryPlist(100, 1)).ok());
    EXPECT_TRUE(decodePreferenceDomain(chainedBinaryPlist(1, 14, 100000)).ok());
}

TEST(DecodePreferenceDomain, AcceptsUpToTheSizeLimit) {
    std::string atLimit = xmlPlist("<dict><key>k</key><string>X</string></dict>");
    const std::size_t padding = PreferenceLimits::maxDomainFileBytes - atLimit.size() + 1;
    atLimit.replace(atLimit.find('X'), 1, std::string(padding, 'a'));
    ASSERT_EQ(atLimit.size(), PreferenceLimits::maxDomainFileBytes);

    auto domain = decodePreferenceDomain(atLimit);
    ASSERT_TRUE(domain.ok()) << domain.error().message;
    EXPECT_EQ(std::get<std::string>(domain->at("k")).size(), padding);
    EXPECT_FALSE(decodePreferenceDomain(atLimit + " ").ok());
}

TEST(PreferenceDomainName, IsUsableAsAFileName) {
    for (const std::string& name :
         std::vector<std::string>{"com.apple.dock", "a", "..a", std::string(255, 'd'), "名字"}) {
        EXPECT_TRUE(isValidPreferenceDomainName(name)) << name;
    }
    for (const std::string& name :
         std::vector<std::string>{"", ".", "..", "a/b", "/abs", std::string("a\0b", 3),
                                  std::string(256, 'd'), "\xff\xfe"}) {
        EXPECT_FALSE(isValidPreferenceDomainName(name)) << name;
    }
}

TEST(FilePreferenceDomains, ReadsTheDomainFileOnEveryCall) {
    TemporaryDirectory dir;
    const auto preferences = dir / "Preferences";
    std::filesystem::create_directory(preferences);
    const auto domains = makeFilePreferenceDomains(preferences);
    const auto dock = preferences / "com.apple.dock.plist";

    EXPECT_EQ(domains->value("com.apple.dock", "orientation"), std::nullopt) << "no file yet";

    ASSERT_TRUE(writeFileAtomically(dock, kEveryTypeXml).ok());
    EXPECT_EQ(domains->value("com.apple.dock", "orientation"), PreferenceValue{"left"});
    EXPECT_EQ(domains->value("com.apple.dock", "tilesize"), PreferenceValue{std::int64_t{48}});
    EXPECT_EQ(domains->value("com.apple.dock", "persistent-apps"), std::nullopt);
    EXPECT_EQ(domains->value("com.apple.dock", "missing"), std::nullopt);
    EXPECT_EQ(domains->value("com.apple.finder", "orientation"), std::nullopt);

    ASSERT_TRUE(writeFileAtomically(dock, toBinary(xmlPlist("<dict><key>orientation</key>"
                                                            "<string>bottom</string></dict>")))
                    .ok());
    EXPECT_EQ(domains->value("com.apple.dock", "orientation"), PreferenceValue{"bottom"});

    ASSERT_TRUE(writeFileAtomically(dock, "garbage").ok());
    EXPECT_EQ(domains->value("com.apple.dock", "orientation"), std::nullopt);
}

TEST(FilePreferenceDomains, NeverLooksOutsideItsDirectory) {
    TemporaryDirectory dir;
    const auto preferences = dir / "Preferences";
    std::filesystem::create_directory(preferences);
    const std::string list = xmlPlist("<dict><key>k</key><true/></dict>");
    ASSERT_TRUE(writeFileAtomically(dir / "outside.plist", list).ok());
    ASSERT_TRUE(writeFileAtomically(preferences / "inside.plist", list).ok());

    const auto domains = makeFilePreferenceDomains(preferences);
    EXPECT_EQ(domains->value("inside", "k"), PreferenceValue{true});
    for (const char* domain : {"../outside", "", ".", ".."}) {
        EXPECT_EQ(domains->value(domain, "k"), std::nullopt) << domain;
    }
}

}  // namespace
}  // namespace tavrel::platform
