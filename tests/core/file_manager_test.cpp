#include <gtest/gtest.h>

#include "core/file_manager.h"
#include "tests/support/test_support.h"

namespace {

class FileManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(files.AddSearchPath("model/", "obj", kResourceModel), 0);
        ASSERT_EQ(files.AddSearchPath("tex/", "bmp", kResourceTexture), 0);
        ASSERT_EQ(files.AddSearchPath("elsewhere/", "xyz", kResourceModel), -2);  // the first stays
    }

    ScopedWorkDir dir;
    FileManager files;
};

}  // namespace

TEST_F(FileManagerTest, OpensWholeFilesAndCachesEveryReadUntilReleased)
{
    WriteFile("model/cube.obj", std::string("\x01\x02\x00\x04", 4));
    WriteFile("tex/cube.bmp", std::string("texture"));
    WriteFile("model/empty.obj", std::string());
    StdoutCapture capture;
    const ResourceFile cube = files.OpenFile("cube", kResourceModel);
    ASSERT_EQ(cube.type, kResourceModel);
    EXPECT_STREQ(cube.name, "cube");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cube.data), cube.size), std::string("\x01\x02\x00\x04", 4));
    EXPECT_EQ(files.OpenFile("empty", kResourceModel).type, kResourceModel);  // a zero-byte file is a success
    // Opening again reads again and adds another entry; the cache finds the first.
    EXPECT_NE(files.OpenFile("cube", kResourceModel).data, cube.data);
    EXPECT_EQ(files.FindLoaded("cube", kResourceModel)->data, cube.data);
    EXPECT_FALSE(files.FindLoaded("cube", kResourceTexture).has_value());
    EXPECT_TRUE(capture.Lines().empty());

    // A release removes the first entry of the name and type only.
    files.OpenFile("cube", kResourceTexture);
    EXPECT_EQ(files.ReleaseFile("cube", kResourceModel), 0);
    EXPECT_EQ(files.ReleaseFile("cube", kResourceModel), 0);
    EXPECT_EQ(files.ReleaseFile("cube", kResourceModel), -1);
    EXPECT_EQ(files.FindLoaded("cube", kResourceTexture)->size, 7u);
    EXPECT_EQ(files.LoadedCount(), 2u);
}

TEST_F(FileManagerTest, FailuresGiveAnEmptyRecordAndTheTriedPath)
{
    MakeFifo("model/pipe.obj");
    // Names as long as a file's name can be, with room for the extension.
    const std::string longest(kMaxResourceNameLength - 4, 'a');
    WriteFile("tex/" + longest + ".bmp", std::string("long"));
    StdoutCapture capture;
    StderrCapture problems;
    EXPECT_EQ(files.OpenFile("missing", kResourceModel).type, kResourceNone);
    // A FIFO would block the reader until something writes to it: refused unopened.
    RunWithoutBlockingOn("model/pipe.obj", [this] { EXPECT_EQ(files.OpenFile("pipe", kResourceModel).type, kResourceNone); });
    EXPECT_EQ(files.OpenFile("missing", 7).type, kResourceNone);  // no search path: silent
    EXPECT_EQ(files.OpenFile(longest, kResourceTexture).size, 4u);
    // Longer names are refused, not cut to a name that exists.
    EXPECT_EQ(files.OpenFile(longest + "bbbbb", kResourceTexture).type, kResourceNone);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{
                                   "Cannot open file: model/missing.obj",
                                   "Cannot open file: model/pipe.obj",
                                   "Cannot open file: tex/" + longest + "bbbbb.bmp",
                               }));
    // Why, where it is not simply missing, with the errors.
    EXPECT_EQ(problems.Lines(), (std::vector<std::string>{
                                    "model/pipe.obj: not a regular file",
                                    "tex/" + longest + "bbbbb.bmp: name longer than 255 characters",
                                }));
    EXPECT_EQ(files.LoadedCount(), 1u);
}
