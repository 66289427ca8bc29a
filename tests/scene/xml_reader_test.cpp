#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/xml_reader.h"
#include "tests/support/test_support.h"

namespace {

// Loads the text from a real file, as the scene loader does.
class XmlFile {
public:
    explicit XmlFile(const std::string& text)
    {
        WriteFile("scene.xml", text);
        result = reader.Load("scene.xml");
    }

    XMLTag* Find(const std::string& path) const { return reader.FindTag(path); }

    ScopedWorkDir dir;
    XMLReader reader;
    int result = -1;
};

std::vector<std::string> ChildNames(XMLTag* tag)
{
    std::vector<std::string> names;
    if (XMLTagExtended* parent = AsExtended(tag)) {
        for (XMLTag* child : parent->children) {
            names.push_back(child->name);
        }
    }
    return names;
}

std::vector<XMLAttribute> Attributes(const std::string& name, const std::string& value)
{
    return {{name, value}};
}

std::vector<XMLAttribute> AttributesOf(const XMLTag* tag)
{
    return {tag->attributes.begin(), tag->attributes.end()};
}

}  // namespace

TEST(XmlReaderTest, PathsStartAtTheRootAndFindTheFirstChildOfEachName)
{
    XmlFile xml(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<base>\n"
        "  <scene>\n"
        "    <meshes>\n"
        "      <cube />\n"
        "    </meshes>\n"
        "    <meshes>\n"
        "      <second />\n"
        "    </meshes>\n"
        "  </scene>\n"
        "</base>\n");
    ASSERT_EQ(xml.result, 0);
    ASSERT_NE(xml.reader.root, nullptr);
    EXPECT_EQ(xml.reader.root->name, "base");

    XMLTag* meshes = xml.Find("base::scene::meshes");
    ASSERT_NE(meshes, nullptr);
    EXPECT_EQ(ChildNames(meshes), (std::vector<std::string>{"cube"}));
    EXPECT_EQ(xml.Find("base::scene::meshes::"), meshes);  // a trailing :: adds nothing
    EXPECT_EQ(xml.Find("base::scene::lights"), nullptr);
    EXPECT_EQ(xml.Find("scene::meshes"), nullptr);  // the first component names the root
    EXPECT_EQ(xml.Find("Base::scene"), nullptr);     // case-sensitive
    EXPECT_EQ(xml.Find("base"), xml.reader.root);
    EXPECT_EQ(xml.Find(""), nullptr);
}

TEST(XmlReaderTest, AttributeValuesAreRunsOfNameCharacters)
{
    XmlFile xml(
        "<base>"
        "<quoted x=\"1.5\" y='-2' z=3e1 />"
        "<spaced name=\"two words\" />"
        "<joined a=\"1\"\nb=\"2\" />"
        "<tabbed a=\"1\"\tb=\"2\" />"
        "<entity v=\"a&amp;b\" />"
        "<merged first second=\"3\" />"
        "<loose k= 5 />"
        "<novalue k= />"
        "</base>");
    XMLTagExtended* base = AsExtended(xml.reader.root);
    ASSERT_NE(base, nullptr);
    ASSERT_EQ(base->children.size(), 8u);

    EXPECT_EQ(AttributesOf(base->children[0]),
              (std::vector<XMLAttribute>{{"x", "1.5"}, {"y", "-2"}, {"z", "3e1"}}));
    // The word after an inner space starts a name with no value: dropped.
    EXPECT_EQ(AttributesOf(base->children[1]), Attributes("name", "two"));
    // Line feed and tab are not separators: the next pair runs into the value.
    EXPECT_EQ(AttributesOf(base->children[2]), Attributes("a", "1b2"));
    EXPECT_EQ(AttributesOf(base->children[3]), Attributes("a", "1b2"));
    // An entity is not decoded: its punctuation is skipped.
    EXPECT_EQ(AttributesOf(base->children[4]), Attributes("v", "aampb"));
    // Two words before an equals sign run together into one name.
    EXPECT_EQ(AttributesOf(base->children[5]), Attributes("firstsecond", "3"));
    EXPECT_EQ(AttributesOf(base->children[6]), Attributes("k", "5"));
    EXPECT_TRUE(base->children[7]->attributes.empty());
    // Every node the reader makes can hold children.
    EXPECT_TRUE(base->children[0]->isExtended);
}

TEST(XmlReaderTest, SlashesDecideWhetherMarkupOpensClosesOrIsEmpty)
{
    XmlFile xml(
        "<base>"
        "<a><inner /></a>"
        "<b path=\"x/y\">"  // a slash among the attributes makes b empty
        "<c />"
        "<d>"
        "<Mesh/>"  // a name followed by a slash is an end tag: closes d
        "<e />"
        "</anything>"  // end tags are not matched: closes base
        "<after />"    // nothing is open any more: ignored
        );
    ASSERT_EQ(xml.result, 0);
    EXPECT_EQ(ChildNames(xml.reader.root), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(ChildNames(xml.Find("base::a")), (std::vector<std::string>{"inner"}));
    EXPECT_TRUE(ChildNames(xml.Find("base::b")).empty());
    EXPECT_EQ(AttributesOf(xml.Find("base::b")), Attributes("path", "xy"));
    EXPECT_TRUE(ChildNames(xml.Find("base::d")).empty());
}

TEST(XmlReaderTest, CommentsAndDeclarationsBecomeElements)
{
    XmlFile commented(
        "<base><!-- note --><scene><meshes /></scene></base>");
    // The comment's hyphens name an element that stays open and captures the rest.
    EXPECT_EQ(ChildNames(commented.reader.root), (std::vector<std::string>{"--"}));
    EXPECT_EQ(commented.Find("base::scene::meshes"), nullptr);
    EXPECT_NE(commented.Find("base::--::scene::meshes"), nullptr);

    XmlFile doctype("<!DOCTYPE base>\n<base><scene><meshes /></scene></base>");
    EXPECT_EQ(doctype.reader.root->name, "DOCTYPE");
    EXPECT_EQ(doctype.Find("base::scene::meshes"), nullptr);

    // A self-closing root is still the root, and later markup nests in it.
    XmlFile selfClosing("<base /><scene />");
    EXPECT_EQ(selfClosing.reader.root->name, "base");
    EXPECT_EQ(ChildNames(selfClosing.reader.root), (std::vector<std::string>{"scene"}));
}

TEST(XmlReaderTest, EmptyMissingAndTruncatedFiles)
{
    {
        XmlFile empty("");
        EXPECT_EQ(empty.result, 0);
        EXPECT_EQ(empty.reader.root, nullptr);
        EXPECT_EQ(empty.Find("base"), nullptr);
    }
    {
        XmlFile textOnly("no markup at all\n");
        EXPECT_EQ(textOnly.result, 0);
        EXPECT_EQ(textOnly.reader.root, nullptr);
    }
    {
        // Markup cut off at the end of the file makes no element.
        XmlFile truncated("<base><scene><meshes x=\"1");
        EXPECT_EQ(ChildNames(truncated.Find("base::scene")), std::vector<std::string>{});
        XmlFile binary(std::string("<base>\0\xff\x80<\x01\xfe a\xc3\xa9=1 />", 20));
        EXPECT_EQ(binary.reader.root->name, "base");
    }
    ScopedWorkDir dir;
    XMLReader reader;
    StdoutCapture capture;
    EXPECT_EQ(reader.Load("missing.xml"), -1);
    std::filesystem::create_directory("folder.xml");
    EXPECT_EQ(reader.Load("folder.xml"), -1);
    EXPECT_EQ(reader.root, nullptr);
    EXPECT_TRUE(capture.Lines().empty());  // the caller reports it
}

TEST(XmlReaderTest, FileTooLargeForMemoryIsRefusedWithAllocateError)
{
    // Only where the kernel refuses allocations beyond its memory; with
    // unlimited overcommit the read would fill the machine instead.
    if (ReadFileText("/proc/sys/vm/overcommit_memory").substr(0, 1) == "1") {
        GTEST_SKIP() << "memory overcommit is unlimited here";
    }
    ScopedWorkDir dir;
    // A sparse file far larger than any memory this machine has.
    std::error_code error;
    WriteFile("huge.xml", std::string("<base>"));
    std::filesystem::resize_file("huge.xml", uint64_t{15} << 40, error);
    if (error) {
        GTEST_SKIP() << "the file system cannot hold a sparse 15 TiB file";
    }
    XMLReader reader;
    StdoutCapture capture;
    EXPECT_EQ(reader.Load("huge.xml"), -1);
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"Alocate error!"});
    EXPECT_EQ(reader.root, nullptr);
}

TEST(XmlReaderTest, DroppingTheReaderFreesEveryNodeWithItsLogLines)
{
    std::vector<std::string> lines;
    {
        ScopedWorkDir dir;
        WriteFile("s.xml", std::string("<base><scene><cube /></scene></base>"));
        auto reader = std::make_unique<XMLReader>();
        ASSERT_EQ(reader->Load("s.xml"), 0);
        StdoutCapture capture;
        reader.reset();
        lines = capture.Lines();
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "XMLTagExtended dtor", "XMLTag dtor: base",
                         "XMLTagExtended dtor", "XMLTag dtor: scene",
                         "XMLTagExtended dtor", "XMLTag dtor: cube",
                     }));
}

namespace {

// The tree as text: names, attributes and nesting.
void Describe(const XMLTag* tag, std::string& out)
{
    out += "<" + tag->name;
    for (const auto& [name, value] : tag->attributes) {
        out += " " + name + "=" + value;
    }
    out += ">";
    if (const XMLTagExtended* parent = dynamic_cast<const XMLTagExtended*>(tag)) {
        for (const XMLTag* child : parent->children) {
            Describe(child, out);
        }
    }
    out += "</>";
}

std::string TreeOf(const std::string& text, XMLReader::ScanPath path)
{
    XMLReader reader;
    reader.Parse(text.data(), text.size(), path);
    std::string out;
    if (reader.root) {
        Describe(reader.root, out);
    }
    return out;
}

}  // namespace

TEST(XmlReaderTest, FastPathBuildsTheSameTreeAsTheByteRules)
{
    // Random documents over the bytes that matter to the scanner, mixed with
    // the shapes the fast path reads, compared against the byte rules alone.
    const std::string pieces[] = {
        "<", ">", "/", "=", "\"", "'", " ", "  ", "\n", "\t", "?", "!", "a", "Bc", "1.5", "-2",
        "x:y", "\xc3\xa9", "<obj a=\"1\" b='2'>", "<e x=\"1\" />", "</obj>", "<p/>", "<q k=v>",
        "<r  s=\"t\"/>", " u=\"", "=\"\"", "</ a>",
    };
    StdoutCapture quiet;  // the trees log as they are dropped
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int document = 0; document < 3000; ++document) {
        std::string text = "<base>";
        const int count = 1 + static_cast<int>(next() % 40);
        for (int i = 0; i < count; ++i) {
            text += pieces[next() % std::size(pieces)];
        }
        ASSERT_EQ(TreeOf(text, XMLReader::ScanPath::kFast),
                  TreeOf(text, XMLReader::ScanPath::kByteRules))
            << text;
    }
}
