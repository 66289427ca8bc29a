#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/file_manager.h"
#include "tests/support/test_support.h"

namespace {

class FileManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(files.AddSearchPath("model/", "obj", kResourceModel), 0);
        ASSERT_EQ(files.AddSearchPath("tex/", "bmp", kResourceTexture), 0);
    }

    ScopedWorkDir dir;
    FileManager files;
};

}  // namespace

TEST_F(FileManagerTest, SecondSearchPathForATypeIsRefusedAndTheFirstStays)
{
    EXPECT_EQ(files.AddSearchPath("elsewhere/", "xyz", kResourceModel), -2);
    WriteFile("model/cube.obj", std::string("abc"));
    const ResourceFile file = files.OpenFile("cube", kResourceModel);
    EXPECT_EQ(file.type, kResourceModel);
    EXPECT_EQ(file.size, 3u);
}

TEST_F(FileManagerTest, OpensWholeFilesAndCachesEveryRead)
{
    WriteFile("model/cube.obj", std::string("\x01\x02\x00\x04", 4));
    WriteFile("model/Cube.obj", std::string("upper"));
    WriteFile("model/empty.obj", std::string());

    StdoutCapture capture;
    const ResourceFile cube = files.OpenFile("cube", kResourceModel);
    ASSERT_EQ(cube.type, kResourceModel);
    EXPECT_STREQ(cube.name, "cube");
    ASSERT_EQ(cube.size, 4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cube.data), 4),
              std::string("\x01\x02\x00\x04", 4));

    // Names are used as given: Cube is another record.
    const ResourceFile upper = files.OpenFile("Cube", kResourceModel);
    EXPECT_EQ(upper.size, 5u);

    // A zero-byte file is a success.
    const ResourceFile empty = files.OpenFile("empty", kResourceModel);
    EXPECT_EQ(empty.type, kResourceModel);
    EXPECT_EQ(empty.size, 0u);

    // Opening again reads again and adds another entry; the cache finds the first.
    const ResourceFile again = files.OpenFile("cube", kResourceModel);
    EXPECT_NE(again.data, cube.data);
    EXPECT_EQ(files.LoadedCount(), 4u);
    ASSERT_TRUE(files.FindLoaded("cube", kResourceModel).has_value());
    EXPECT_EQ(files.FindLoaded("cube", kResourceModel)->data, cube.data);
    EXPECT_FALSE(files.FindLoaded("cube", kResourceTexture).has_value());
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(FileManagerTest, FailuresGiveAnEmptyRecordAndTheTriedPath)
{
    WriteFile("model/cube.obj", std::string("x"));
    std::filesystem::create_directories("model/folder.obj");

    StdoutCapture capture;
    EXPECT_EQ(files.OpenFile("missing", kResourceModel).type, kResourceNone);
    // A name that carries an extension gets the type's extension as well.
    EXPECT_EQ(files.OpenFile("cube.obj", kResourceModel).type, kResourceNone);
    // A directory is not a resource file.
    EXPECT_EQ(files.OpenFile("folder", kResourceModel).type, kResourceNone);
    // A type without a search path fails silently.
    EXPECT_EQ(files.OpenFile("cube", 7).type, kResourceNone);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{
                                   "Cannot open file: model/missing.obj",
                                   "Cannot open file: model/cube.obj.obj",
                                   "Cannot open file: model/folder.obj",
                               }));
    EXPECT_EQ(files.LoadedCount(), 0u);
}

TEST_F(FileManagerTest, NamesLongerThan31CharactersAreRefusedNotTruncated)
{
    const std::string longest(31, 'a');
    const std::string tooLong = longest + "b";
    WriteFile("tex/" + longest + ".bmp", std::string("short"));
    WriteFile("tex/" + tooLong + ".bmp", std::string("long"));

    StdoutCapture capture;
    const ResourceFile fits = files.OpenFile(longest, kResourceTexture);
    EXPECT_EQ(fits.type, kResourceTexture);
    EXPECT_EQ(std::string(fits.name), longest);
    EXPECT_EQ(files.OpenFile(tooLong, kResourceTexture).type, kResourceNone);
    EXPECT_EQ(capture.Lines(),
              (std::vector<std::string>{"Cannot open file: tex/" + tooLong + ".bmp"}));
    // The long name never matches the cached entry of its 31-character prefix.
    EXPECT_FALSE(files.FindLoaded(tooLong, kResourceTexture).has_value());
}

TEST_F(FileManagerTest, ReleaseRemovesTheFirstMatchingEntryOnly)
{
    WriteFile("tex/stone.bmp", std::string("one"));
    WriteFile("model/stone.obj", std::string("two"));
    files.OpenFile("stone", kResourceTexture);
    files.OpenFile("stone", kResourceModel);
    files.OpenFile("stone", kResourceTexture);

    EXPECT_EQ(files.ReleaseFile("stone", kResourceTexture), 0);
    EXPECT_EQ(files.LoadedCount(), 2u);
    EXPECT_EQ(files.ReleaseFile("stone", kResourceTexture), 0);
    EXPECT_EQ(files.ReleaseFile("stone", kResourceTexture), -1);
    EXPECT_EQ(files.ReleaseFile("Stone", kResourceModel), -1);
    ASSERT_TRUE(files.FindLoaded("stone", kResourceModel).has_value());
    EXPECT_EQ(files.FindLoaded("stone", kResourceModel)->size, 3u);
}
