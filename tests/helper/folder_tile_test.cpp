// The folder tile over a fake Dock tile: cached pictures, modification stamps and the fade.

#include "ui/helper/folder_tile.h"

#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/fake/fake_dock_tile.h"
#include "tests/helper/gui_test_support.h"

namespace tavrel {
namespace {

using namespace std::chrono_literals;
using testing::pointColor;

const QColor kClosed(200, 40, 40);
const QColor kOpen(40, 40, 200);
const QColor kNewClosed(40, 160, 40);

class FolderTileTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::guiApplication();
        resources = testing::freshDirectory("folder-resources");
    }
    void writeClosed(const QColor& color) { write(kFolderIconResource, color); }
    void writeOpen(const QColor& color) { write(kFolderIconOpenResource, color); }
    void write(std::string_view name, const QColor& color) {
        testing::writePicture(resources / name, color);
        // Each write gets its own time, however quickly the test runs.
        stamp += 10s;
        std::filesystem::last_write_time(resources / name, stamp);
    }
    QColor shownColor(std::size_t index) const {
        return pointColor(tile.shown().at(index).image, 1, 1);
    }

    std::filesystem::path resources;
    std::filesystem::file_time_type stamp = std::filesystem::file_time_type::clock::now();
    platform::FakeDockTile tile;
};

TEST_F(FolderTileTest, FirstDisplayIsPlainAndLaterChangesFade) {
    writeClosed(kClosed);
    writeOpen(kOpen);
    FolderTile folder(tile, resources);

    folder.setDockTile(false, true);
    ASSERT_EQ(tile.shown().size(), 1u);
    EXPECT_EQ(shownColor(0), kClosed);
    EXPECT_FALSE(tile.shown()[0].transition);
    ASSERT_EQ(tile.applicationIcons().size(), 1u);
    EXPECT_EQ(pointColor(tile.applicationIcons()[0], 1, 1), kClosed);

    folder.setDockTile(true, false);
    ASSERT_EQ(tile.shown().size(), 2u);
    EXPECT_EQ(shownColor(1), kOpen);
    EXPECT_EQ(tile.shown()[1].transition,
              (platform::DockTileTransition{120ms, "tavrel.folderTileState"}));
    EXPECT_EQ(folder.displayedFolderTileIsOpen(), true);

    // The same state again finds the same picture on the tile and does nothing.
    folder.setDockTile(true, false);
    EXPECT_EQ(tile.shown().size(), 2u);
    folder.setDockTile(false, false);
    folder.setDockTile(false, false);
    EXPECT_EQ(tile.shown().size(), 3u);
    EXPECT_EQ(shownColor(2), kClosed);
    // Only the first display set the application icon: the closed file never changed.
    EXPECT_EQ(tile.applicationIcons().size(), 1u);
}

TEST_F(FolderTileTest, WithoutAnOpenPictureOpeningChangesNothing) {
    writeClosed(kClosed);
    FolderTile folder(tile, resources);
    folder.setDockTile(false, true);
    folder.setDockTile(true, false);
    EXPECT_EQ(tile.shown().size(), 1u);

    // An undecodable open picture counts as none.
    std::ofstream(resources / kFolderIconOpenResource) << "not a picture";
    folder.setDockTile(true, true);
    ASSERT_EQ(tile.shown().size(), 2u);  // the reload made a new closed picture
    EXPECT_EQ(shownColor(1), kClosed);
    folder.setDockTile(true, false);
    EXPECT_EQ(tile.shown().size(), 2u);
}

TEST_F(FolderTileTest, ReloadAfterTheClosedFileChangedShowsItAndUpdatesTheIcon) {
    writeClosed(kClosed);
    writeOpen(kOpen);
    FolderTile folder(tile, resources);
    folder.setDockTile(false, true);

    // Reloading unchanged files makes new pictures but leaves the icon alone.
    folder.setDockTile(false, true);
    EXPECT_EQ(tile.shown().size(), 2u);
    EXPECT_EQ(tile.applicationIcons().size(), 1u);

    writeClosed(kNewClosed);
    folder.setDockTile(false, true);
    ASSERT_EQ(tile.shown().size(), 3u);
    EXPECT_EQ(shownColor(2), kNewClosed);
    EXPECT_TRUE(tile.shown()[2].transition);
    ASSERT_EQ(tile.applicationIcons().size(), 2u);
    EXPECT_EQ(pointColor(tile.applicationIcons()[1], 1, 1), kNewClosed);

    // A change of the open picture alone does not touch the application icon.
    writeOpen(kClosed);
    folder.setDockTile(true, true);
    EXPECT_EQ(shownColor(3), kClosed);
    EXPECT_EQ(tile.applicationIcons().size(), 2u);
}

TEST_F(FolderTileTest, TogglingUsesTheCacheOnlyAndAMissingClosedPictureKeepsTheTile) {
    FolderTile folder(tile, resources);
    folder.setDockTile(false, true);  // nothing there yet: nothing shown
    EXPECT_TRUE(tile.shown().empty());
    EXPECT_TRUE(tile.applicationIcons().empty());

    writeClosed(kClosed);
    writeOpen(kOpen);
    folder.setDockTile(false, true);
    ASSERT_EQ(tile.shown().size(), 1u);

    // With the files gone, toggling still swaps the cached pictures: no disk involved.
    std::filesystem::remove_all(resources);
    folder.setDockTile(true, false);
    folder.setDockTile(false, false);
    ASSERT_EQ(tile.shown().size(), 3u);
    EXPECT_EQ(shownColor(1), kOpen);
    EXPECT_EQ(shownColor(2), kClosed);

    // A reload that finds no closed picture keeps what the tile shows, and the cache.
    folder.setDockTile(true, true);
    EXPECT_EQ(tile.shown().size(), 3u);
    folder.setDockTile(true, false);
    EXPECT_EQ(shownColor(3), kOpen);
}

}  // namespace
}  // namespace tavrel
