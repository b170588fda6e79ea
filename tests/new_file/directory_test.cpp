// The directory handle: entries by plain name only, never through a link, never outside.

#include "platform/directory.h"

#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/new_file/new_file_test_support.h"

namespace tavrel::platform {
namespace {

using namespace tavrel::testing;

class DirectoryTest : public ::testing::Test {
protected:
    DirectoryTest() {
        writeFile(inside() / "file", "inside");
        writeFile(outside() / "victim", "outside");
        fs::create_directories(inside() / "folder");
        fs::create_symlink(outside() / "victim", inside() / "link");
        fs::create_symlink(outside() / "missing", inside() / "dangling");
        ::mkfifo((inside() / "fifo").c_str(), 0600);
    }
    fs::path inside() const { return root_.path() / "inside"; }
    fs::path outside() const { return root_.path() / "outside"; }
    Directory openInside() {
        auto directory = Directory::open(inside(), Directory::Create::no);
        EXPECT_TRUE(directory.ok());
        return std::move(directory).value();
    }

    TemporaryDirectory root_;
};

TEST_F(DirectoryTest, OpensItsOwnDirectoryButNotALinkUnlessAskedTo) {
    fs::create_directory_symlink(inside(), root_.path() / "alias");
    EXPECT_FALSE(Directory::open(root_.path() / "alias", Directory::Create::no).ok());
    EXPECT_TRUE(
        Directory::open(root_.path() / "alias", Directory::Create::no, Directory::LastLink::follow)
            .ok());
    EXPECT_FALSE(Directory::open(inside() / "file", Directory::Create::no).ok());
    auto created = Directory::open(root_.path() / "a/b/c/", Directory::Create::withIntermediates);
    ASSERT_TRUE(created.ok());
    EXPECT_TRUE(fs::is_directory(root_.path() / "a/b/c"));
}

TEST_F(DirectoryTest, EveryOperationStaysInsideAndNeverFollowsALink) {
    Directory directory = openInside();
    struct Case {
        std::string name;
        bool readable;
        bool replaceable;  // writeAtomically
        bool creatable;    // createExclusively
        bool removable;
    };
    const std::vector<Case> cases = {
        {"file", true, true, false, true},
        {"new", false, true, true, false},
        {"link", false, true, false, true},
        {"dangling", false, true, false, true},
        {"folder", false, false, false, false},
        {"fifo", false, true, false, true},
        {"", false, false, false, false},
        {".", false, false, false, false},
        {"..", false, false, false, false},
        {"../outside/victim", false, false, false, false},
        {std::string("fi\0le", 5), false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(directory.read(c.name, 1024).ok(), c.readable);
        if (c.creatable) {
            EXPECT_TRUE(directory.createExclusively(c.name, "created").ok());
            EXPECT_EQ(readFile(inside() / c.name), "created");
            fs::remove(inside() / c.name);
        } else {
            EXPECT_FALSE(directory.createExclusively(c.name, "created").ok());
        }
        EXPECT_EQ(readFile(outside() / "victim"), "outside");
        EXPECT_FALSE(fs::exists(outside() / "missing"));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(directory.writeAtomically(c.name, "replaced").ok(), c.replaceable);
        if (c.replaceable) {
            EXPECT_FALSE(fs::is_symlink(inside() / c.name));
            EXPECT_EQ(readFile(inside() / c.name), "replaced");
        }
        EXPECT_EQ(readFile(outside() / "victim"), "outside");
        EXPECT_FALSE(fs::exists(outside() / "missing"));
    }
    // Removing takes the entry itself, never what a link points to.
    fs::create_symlink(outside() / "victim", inside() / "link2");
    EXPECT_TRUE(directory.remove("link2").ok());
    EXPECT_FALSE(directory.remove("folder").ok());
    EXPECT_FALSE(directory.remove("../outside/victim").ok());
    EXPECT_EQ(readFile(outside() / "victim"), "outside");
    EXPECT_TRUE(fs::is_directory(inside() / "folder"));
}

TEST_F(DirectoryTest, ReadsAreCappedAndAppendsNeedAnExistingFile) {
    Directory directory = openInside();
    EXPECT_EQ(*directory.read("file", 6), "inside");
    EXPECT_FALSE(directory.read("file", 5).ok());
    EXPECT_TRUE(directory.append("file", "+more").ok());
    EXPECT_EQ(readFile(inside() / "file"), "inside+more");
    EXPECT_FALSE(directory.append("absent", "x").ok());
    EXPECT_FALSE(directory.append("link", "x").ok());
    EXPECT_EQ(readFile(outside() / "victim"), "outside");
    EXPECT_EQ(directory.entryKind("file"), Directory::EntryKind::file);
    EXPECT_EQ(directory.entryKind("folder"), Directory::EntryKind::directory);
    EXPECT_EQ(directory.entryKind("dangling"), Directory::EntryKind::other);
    EXPECT_EQ(directory.entryKind("absent"), Directory::EntryKind::missing);
}

TEST_F(DirectoryTest, ReplacingKeepsTheFilesPermissions) {
    Directory directory = openInside();
    fs::permissions(inside() / "file", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(directory.writeAtomically("file", "new").ok());
    EXPECT_EQ(fs::status(inside() / "file").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace tavrel::platform
