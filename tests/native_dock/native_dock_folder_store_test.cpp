// native-dock-folders.json and the settings application's store of it.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/native_dock/native_dock_folder_settings_store.h"
#include "platform/case_folding.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel {
namespace {

using platform::Uuid;

const Uuid kFirst = *Uuid::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");
const Uuid kSecond = *Uuid::parse("0B3C2A8E-1D2F-4E5A-9B6C-7D8E9F0A1B2C");
const Uuid kThird = *Uuid::parse("AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE");

SettingsNativeDockFolder folder(const Uuid& id, std::string name, bool enabled = true) {
    return SettingsNativeDockFolder{id, std::move(name), {}, enabled};
}

std::string fileText(const std::filesystem::path& path) {
    auto bytes = platform::readFile(path, 1 << 20);
    return bytes ? *bytes : std::string("<no file>");
}

class NativeDockFolderStoreTest : public ::testing::Test {
protected:
    void write(const std::string& bytes) {
        std::filesystem::create_directories(url.parent_path());
        ASSERT_TRUE(platform::writeFileAtomically(url, bytes));
    }

    TemporaryDirectory directory;
    std::filesystem::path url = directory / "Tavrel/native-dock-folders.json";
    NativeDockFolderSettingsStore store{url};
};

TEST_F(NativeDockFolderStoreTest, RoundTripDefaultsIsEnabledAndOmitsAbsentMemberKeys) {
    // Lower-case id, keys in another order, an unknown key, no isEnabled, members with and
    // without the optional keys (one of them null).
    write(R"([{"applications":[)"
          R"({"name":"Safari","appKey":"com.apple.Safari","bundleIdentifier":"com.apple.Safari",)"
          R"("path":"/Applications/Safari.app"},)"
          R"({"appKey":"/opt/tool","name":"Tool","bundleIdentifier":null,"extra":[1]}],)"
          R"("name":"Work","id":"6f9619ff-8b86-d011-b42d-00c04fc964ff","color":"red"},)"
          R"({"id":"0B3C2A8E-1D2F-4E5A-9B6C-7D8E9F0A1B2C","name":"Off","applications":[],)"
          R"("isEnabled":false}])");
    store.reload();
    ASSERT_EQ(store.folders.size(), 2u);
    EXPECT_EQ(store.folders[0].id, kFirst);
    EXPECT_TRUE(store.folders[0].isEnabled);
    EXPECT_EQ(
        store.folders[0].applications[1],
        (SettingsNativeDockFolderApplication{"/opt/tool", "Tool", std::nullopt, std::nullopt}));
    EXPECT_FALSE(store.folders[1].isEnabled);

    ASSERT_TRUE(store.save());
    EXPECT_EQ(
        fileText(url),
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Work","applications":[)"
        R"({"appKey":"com.apple.Safari","name":"Safari","bundleIdentifier":"com.apple.Safari",)"
        R"("path":"/Applications/Safari.app"},{"appKey":"/opt/tool","name":"Tool"}],)"
        R"("isEnabled":true},)"
        R"({"id":"0B3C2A8E-1D2F-4E5A-9B6C-7D8E9F0A1B2C","name":"Off","applications":[],)"
        R"("isEnabled":false}])");

    const auto before = store.folders;
    store.reload();
    EXPECT_EQ(store.folders, before);
}

TEST_F(NativeDockFolderStoreTest, AnyInvalidFolderEmptiesTheWholeList) {
    const std::string good =
        R"({"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"A","applications":[]})";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"id is not a UUID",
         "[" + good + R"(,{"id":"6F9619FF-8B86","name":"B","applications":[]}])"},
        {"id with braces",
         R"([{"id":"{6F9619FF-8B86-D011-B42D-00C04FC964FF}","name":"B","applications":[]}])"},
        {"id missing", "[" + good + R"(,{"name":"B","applications":[]}])"},
        {"name is a number",
         R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":1,"applications":[]}])"},
        {"applications missing", R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"B"}])"},
        {"member without appKey",
         R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"B","applications":[{"name":"x"}]}])"},
        {"member path is a number",
         R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"B","applications":[{"appKey":"k","name":"x","path":3}]}])"},
        {"isEnabled is a string",
         R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"B","applications":[],"isEnabled":"yes"}])"},
        {"root is an object", good},
        {"not JSON", "[" + good},
        {"not UTF-8",
         "[{\"id\":\"6F9619FF-8B86-D011-B42D-00C04FC964FF\",\"name\":\"\xff\",\"applications\":[]}"
         "]"},
        {"nested too deeply", std::string(100, '[') + std::string(100, ']')},
    };
    for (const auto& [why, bytes] : cases) {
        write("[" + good + "]");
        store.reload();
        ASSERT_EQ(store.folders.size(), 1u);
        write(bytes);
        store.reload();
        EXPECT_TRUE(store.folders.empty()) << why;
    }
    std::filesystem::remove(url);
    store.folders = {folder(kFirst, "A")};
    store.reload();
    EXPECT_TRUE(store.folders.empty()) << "no file";
}

TEST_F(NativeDockFolderStoreTest, SaveCreatesTheDirectoryAndWritesAnEmptyListAsAnEmptyArray) {
    ASSERT_FALSE(std::filesystem::exists(url.parent_path()));
    ASSERT_TRUE(store.save());
    EXPECT_EQ(fileText(url), "[]");
}

TEST_F(NativeDockFolderStoreTest, UpsertReplacesInPlaceOrAppendsAndRemoveKeepsTheOrder) {
    store.folders = {folder(kFirst, "A"), folder(kSecond, "B"), folder(kFirst, "A again")};
    ASSERT_TRUE(store.upsert(folder(kSecond, "B renamed", false)));
    EXPECT_EQ(store.folders[1], folder(kSecond, "B renamed", false));

    // Another writer removed the folder meanwhile: after a reload the upsert appends it.
    write(R"([{"id":"AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE","name":"C","applications":[]}])");
    store.reload();
    ASSERT_TRUE(store.upsert(folder(kSecond, "B", true)));
    store.reload();
    EXPECT_EQ(store.folders, (std::vector{folder(kThird, "C"), folder(kSecond, "B")}));

    store.folders = {folder(kFirst, "A"), folder(kSecond, "B"), folder(kFirst, "A2"),
                     folder(kThird, "C")};
    ASSERT_TRUE(store.remove(kFirst));
    store.reload();
    EXPECT_EQ(store.folders, (std::vector{folder(kSecond, "B"), folder(kThird, "C")}));
}

TEST_F(NativeDockFolderStoreTest, AFailedWriteLeavesTheListInMemory) {
    std::filesystem::create_directories(url);  // a directory where the file should be
    store.folders = {folder(kFirst, "A")};
    EXPECT_FALSE(store.upsert(folder(kSecond, "B")));
    EXPECT_EQ(store.folders.size(), 2u);
}

TEST(NativeDockFolderSettingsStore, TheSharedStoreUsesTheDataDirectory) {
    EXPECT_EQ(NativeDockFolderSettingsStore::shared().fileURL(),
              platform::paths::applicationSupport() / "Tavrel/native-dock-folders.json");
    EXPECT_TRUE(NativeDockFolderSettingsStore::shared().folders.empty());
}

struct UniqueNameCase {
    std::vector<std::string> existing;  // folders kFirst, kSecond, kThird in order
    std::string preferred;
    std::optional<Uuid> excluding;
    std::string expected;
};

TEST(UniqueFolderName, TrimsAndNumbersCaselessly) {
    const std::vector<UniqueNameCase> cases{
        {{"新建文件夹", "新建文件夹 2"}, "  ", std::nullopt, "新建文件夹 3"},
        {{"Apps"}, "apps", std::nullopt, "apps 2"},
        {{"Apps 2"}, "Apps", std::nullopt, "Apps"},
        {{"Work"}, "work", kFirst, "work"},
        {{"Work", "Home"}, "home", kFirst, "home 2"},
        {{" Work\n"}, "\u3000WORK\t", std::nullopt, "WORK 2"},
        {{}, "\n\u00a0", std::nullopt, "新建文件夹"},
        {{"Straße"}, "STRASSE", std::nullopt, "STRASSE 2"},
        {{"ΣΟΦΟΣ"}, "σοφος", std::nullopt, "σοφος 2"},
        {{"Café"}, "CAFE\u0301", std::nullopt, "CAFE\u0301 2"},
        {{"ǅemal"}, "ǆEMAL", std::nullopt, "ǆEMAL 2"},
        {{"Cafe"}, "Café", std::nullopt, "Café"},
        {{"a", "A 2", "a 3"}, "A", std::nullopt, "A 4"},
    };
    const std::vector<Uuid> ids{kFirst, kSecond, kThird};
    for (const auto& c : cases) {
        NativeDockFolderSettingsStore store("/nonexistent/native-dock-folders.json");
        for (std::size_t i = 0; i < c.existing.size(); ++i) {
            store.folders.push_back(folder(ids[i], c.existing[i]));
        }
        EXPECT_EQ(store.uniqueFolderName(c.preferred, c.excluding), c.expected) << c.preferred;
    }
}

TEST(CaselessMatchKey, FoldsFullyAndCanonically) {
    const std::vector<std::tuple<std::string, std::string, bool>> cases{
        {"Straße", "STRASSE", true},
        {"ﬁle", "FILE", true},
        {"ΣΟΦΟΣ", "σοφος", true},
        {"\u00e9", "E\u0301", true},
        {"Ångström", "A\u030aNGSTRÖM", true},
        {"İ", "i", false},
        {"a", "b", false},
        {"新建文件夹", "新建文件夹", true},
    };
    for (const auto& [a, b, expected] : cases) {
        EXPECT_EQ(platform::caselessMatchKey(a) == platform::caselessMatchKey(b), expected)
            << a << " / " << b;
    }
    EXPECT_EQ(platform::caselessMatchKey("\xff"), platform::caselessMatchKey("\xef\xbf\xbd"));
}

}  // namespace
}  // namespace tavrel
