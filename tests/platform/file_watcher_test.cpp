#include "platform/file_watcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;

void Write(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
}

}  // namespace

TEST(FileWatcherTest, ReportsFilesSavedInPlaceOrByRenameOnceEachAndFollowsAReplacedFolder)
{
    ScopedWorkDir dir;
    fs::create_directory("tex");
    FileWatcher watcher;
    ASSERT_TRUE(watcher.Usable());
    watcher.Watch("");
    watcher.Watch("tex");
    watcher.Watch("model/");  // not there yet
    EXPECT_EQ(watcher.Poll(), Paths{});

    // In place, twice (reported once); by a temporary file renamed over the
    // old one (the temporary is reported too, being closed after writing;
    // the final name is what counts).
    Write("scene.xml", "<a>");
    Write("scene.xml", "<b>");
    Write("tex/.wood.bmp.tmp", "new");
    fs::rename("tex/.wood.bmp.tmp", "tex/wood.bmp");
    EXPECT_EQ(watcher.Poll(), (Paths{"scene.xml", "tex/.wood.bmp.tmp", "tex/wood.bmp"}));
    EXPECT_EQ(watcher.Poll(), Paths{});

    // A folder that appears is watched from then on, and what it holds counts.
    fs::create_directory("model.new");
    Write("model.new/cube.obj", "mesh");
    fs::rename("model.new", "model");
    EXPECT_EQ(watcher.Poll(), Paths{"model/cube.obj"});
    Write("model/cube.obj", "mesh 2");
    EXPECT_EQ(watcher.Poll(), Paths{"model/cube.obj"});

    // A watched folder replaced by another: the old one's watch is dropped
    // and the new one is watched.
    fs::rename("tex", "tex.old");
    fs::create_directory("tex");
    Write("tex/stone.bmp", "stone");
    EXPECT_EQ(watcher.Poll(), Paths{"tex/stone.bmp"});
    Write("tex.old/wood.bmp", "moved away");
    Write("tex/stone.bmp", "stone 2");
    EXPECT_EQ(watcher.Poll(), Paths{"tex/stone.bmp"});
}
