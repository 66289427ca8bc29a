#include <gtest/gtest.h>

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

TEST(XmlReaderTest, FileTooLargeForMemoryIsRefusedWithAllocateError)
{
    ScopedWorkDir dir;
    // Larger than any scene: refused with its size; a file at the limit is read.
    WriteFile("large.xml", std::string("<base>"));
    std::filesystem::resize_file("large.xml", XMLReader::kMaxFileBytes + 1);
    WriteFile("largest.xml", std::string("<base><scene />"));
    std::filesystem::resize_file("largest.xml", XMLReader::kMaxFileBytes);
    XMLReader reader;
    StderrCapture refused;
    EXPECT_EQ(reader.Load("large.xml"), -1);
    const std::vector<std::string> lines = refused.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Scene file large.xml is too large: ", 0), 0u);
    EXPECT_EQ(reader.Load("largest.xml"), 0);
    EXPECT_NE(reader.FindTag("base::scene"), nullptr);

    // Only where the kernel refuses allocations beyond its memory; with
    // unlimited overcommit the read would fill the machine instead.
    if (ReadFileText("/proc/sys/vm/overcommit_memory").substr(0, 1) == "1") {
        GTEST_SKIP() << "memory overcommit is unlimited here";
    }
    // A sparse file far larger than any memory this machine has.
    std::error_code error;
    std::filesystem::resize_file("large.xml", uint64_t{15} << 40, error);
    if (error) {
        GTEST_SKIP() << "the file system cannot hold a sparse 15 TiB file";
    }
    XMLReader huge;
    StdoutCapture capture;
    EXPECT_EQ(huge.Load("large.xml"), -1);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"Alocate error!"});
    EXPECT_EQ(huge.root, nullptr);
}
