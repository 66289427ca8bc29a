#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "scene/xml_reader.h"
#include "tests/scene/xml_tree.h"
#include "tests/support/test_support.h"

TEST(XmlReaderTest, TheByteRulesOfNamesValuesSlashesAndStrayMarkup)
{
    const std::pair<std::string, std::string> cases[] = {
        {"<base><q x=\"1.5\" y='-2' z=3e1 /></base>", "<base><q x=1.5 y=-2 z=3e1></></>"},
        // The word after an inner space starts a name with no value: dropped.
        {"<base><s name=\"two words\" /></base>", "<base><s name=two></></>"},
        // Line feed and tab are not separators: the next pair runs into the value.
        {"<base><j a=\"1\"\nb=\"2\" /><t a=\"1\"\tb=\"2\" /></base>", "<base><j a=1b2></><t a=1b2></></>"},
        // Entities are not decoded; two words before "=" make one name.
        {"<base><e v=\"a&amp;b\" /><m first second=\"3\" /></base>", "<base><e v=aampb></><m firstsecond=3></></>"},
        {"<base><l k= 5 /><n k= /></base>", "<base><l k=5></><n></></>"},
        // A slash among the attributes makes the element empty; a name
        // followed by a slash is an end tag; end tags are not matched and
        // nothing opens after the root is closed.
        {"<base><b path=\"x/y\"><c /><d><Mesh/><e /></anything><after /></base>",
         "<base><b path=xy></><c></><d></><e></></>"},
        // Markup before the root other than the declaration becomes the root.
        {"<base><!-- note --><scene /></base>", "<base><--><scene></></></>"},
        {"<!DOCTYPE base>\n<base />", "<DOCTYPE><base></></>"},
        {"<base /><scene />", "<base><scene></></>"},
        // No element at all, and markup cut off at the end of the file: what
        // was opened before the cut keeps its children.
        {"no markup at all\n", ""},
        {"<base><scene><meshes><cube /><rock x=1", "<base><scene><meshes><cube></></></></>"},
        {std::string("<base>\0\xff\x80<\x01\xfe a\xc3\xa9=1 />", 20), "<base></>"},
    };
    // By the fast path and by the byte rules; the xml fuzzing entry's corpus
    // replay (fuzz_replay_xml) compares the two paths on many more documents.
    std::vector<std::pair<std::string, std::string>> trees;
    {
        StdoutCapture quiet;  // the trees log as they are dropped
        for (const auto& [text, tree] : cases) {
            trees.emplace_back(TreeOf(text), TreeOf(text, XMLReader::ScanPath::kByteRules));
        }
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(trees[i], std::pair(cases[i].second, cases[i].second)) << cases[i].first;
    }
}

// Far above any real scene, a file is refused from its size before a byte
// of it is read; below that, when its bytes cannot be had, "Alocate error!".
TEST(XmlReaderTest, FilesTooLargeAreRefusedUnreadAndMemoryFailuresSaySo)
{
    ScopedWorkDir dir;
    // Larger than any scene: refused with its size; a file at the limit is read.
    WriteFile("large.xml", std::string("<base>"));
    WriteFile("largest.xml", std::string("<base><scene />"));
    std::filesystem::resize_file("largest.xml", XMLReader::kMaxFileBytes);
    for (const uint64_t size : {uint64_t{XMLReader::kMaxFileBytes} + 1, uint64_t{15} << 40}) {
        std::error_code error;
        std::filesystem::resize_file("large.xml", size, error);
        if (error) {
            continue;  // the file system cannot hold a sparse file of 15 TiB
        }
        XMLReader reader;
        StderrCapture refused;
        EXPECT_EQ(reader.Load("large.xml"), -1);
        EXPECT_EQ(refused.Lines(), std::vector<std::string>{"Scene file large.xml is too large: " +
                                                            std::to_string(size) + " bytes, at most 16777216 are read"});
        EXPECT_EQ(reader.root, nullptr);
    }
    XMLReader reader;
    EXPECT_EQ(reader.Load("largest.xml"), 0);
    EXPECT_NE(reader.FindTag("base::scene"), nullptr);

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's shadow memory does not fit a limit on the address space";
#else
    // In a child whose address space ends a few MiB past what it uses: the
    // 16 MiB of the largest scene cannot be had.
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("child.txt", "w", stdout);
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        const std::string status = ReadFileText("/proc/self/status");
        const size_t at = status.find("VmSize:");
        limit.rlim_cur = std::stoull(status.substr(at + 7)) * 1024 + (size_t{4} << 20);
        setrlimit(RLIMIT_AS, &limit);
        XMLReader starved;
        _exit(starved.Load("largest.xml") == -1 && !starved.root ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFileText("child.txt"), "Alocate error!\n");
#endif
}

// A large tree is released with a line for each of its first elements and
// one for all the rest.
TEST(XmlReaderTest, ReleasingALargeTreeWritesBoundedLines)
{
    std::string text = "<base>";
    for (int i = 0; i < 1500; ++i) {
        text += "<o" + std::to_string(i) + " />";
    }
    text += "</base>";
    StdoutCapture capture;
    {
        XMLReader reader;
        reader.Parse(text.data(), text.size());
    }
    const std::vector<std::string> lines = capture.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "XMLTagExtended dtor"), 1000);
    EXPECT_EQ(lines.back(), "XMLTag dtor: and 501 more elements");
    EXPECT_EQ(lines.size(), 2001u);
}
