// The checker's reading of the scene text: the same tree as the scene
// reader's, with places, and the markup it reads differently from XML.

#include <gtest/gtest.h>

#include <algorithm>

#include "check/marked_markup.h"
#include "tests/check/check_findings.h"
#include "tests/scene/xml_tree.h"

namespace {

// The checker's tree in the form of the reader's, as TreeOf writes it.
std::string Outline(const MarkedElement& element)
{
    std::string text = "<" + element.name;
    for (const MarkedAttribute& attribute : element.attributes) {
        text += " " + attribute.name + "=" + attribute.value;
    }
    text += ">";
    for (const MarkedElement* child : element.children) {
        text += Outline(*child);
    }
    return text + "</>";
}

}  // namespace

TEST(MarkedMarkupTest, ReadsTheSameTreeAsTheSceneReader)
{
    const char* texts[] = {
        "<?xml version=\"1.0\"?>\n<base><scene><meshes><cube /></meshes></scene></base>",
        "<base><o><Mesh/><Material name=\"m\" /></o><p x=1 y = '2' z=\"a b\" /></base>",
        "<base>\n<Position x=\"1\"\ty=\"2\"\r\n z=\"3\" /><k a=\"1/2\" b=\"x&amp;y\" c=\"\" d /></base>",
        "<!DOCTYPE base>\n<base><scene /></base><after /> text",
        "<base><a><b></a></b><c /></base>",
    };
    for (const char* text : texts) {
        Diagnostics found;
        const MarkedDocument marked = ReadMarkedMarkup(text, "demofinal.xml", found);
        ASSERT_TRUE(marked.root) << text;
        EXPECT_EQ(Outline(*marked.root), TreeOf(text)) << text;
    }
}

TEST(MarkedMarkupTest, ReportsMarkupTheReaderReadsDifferentlyAtItsPlace)
{
    const std::string scene = R"(<base>
  <scene>
  <Position x="1"	y="2" z="3" />
  <p x="a&amp;b" z="" w="1,5" />
  <q a="1"b="2" y="c d" />
  </scene>
</base>
text <late />
)";
    const std::vector<std::string> expected = {
        "demofinal.xml:3:19: error: a tab or line end is not a separator: 'y' runs into the value of 'x' (write a space)",
        "demofinal.xml:4:10: error: '&amp;' in the value of 'x' is not decoded: the reader keeps 'amp' as part of "
        "the value",
        "demofinal.xml:4:18: error: attribute 'z' has an empty value: the reader drops it, or reads what follows as "
        "its value",
        "demofinal.xml:5:11: error: attributes need a space between them: 'b' runs into the value of 'a' (write a space)",
        "demofinal.xml:5:21: error: the value of 'y' holds a space, which is not a name character "
        "(A-Z a-z 0-9 _ . - :): the reader ends the value there",
        "demofinal.xml:5:22: error: attribute 'd' has no value: the reader drops it",
        "demofinal.xml:8:1: error: text after the root element is ignored",
        "demofinal.xml:8:6: error: element 'late' after the root element is ignored",
    };
    std::vector<std::string> markup = SceneFindings(scene);
    std::erase_if(markup, [](const std::string& line) { return line.find("section") != std::string::npos; });
    EXPECT_EQ(markup, expected);
}

TEST(MarkedMarkupTest, ReportsWhatLeavesElementsOpenOrClosesTheWrongOne)
{
    // Each text with the finding that causes the others.
    const std::pair<const char*, const char*> cases[] = {
        {"<base>\n  <!-- the meshes -->\n",
         "demofinal.xml:2:3: error: comments are not supported: the reader reads this as an element '--' that "
         "stays open and holds what follows"},
        {"<base>\n <o> <Mesh/> </o>\n</base>",
         "demofinal.xml:2:6: error: '<Mesh/>' is read as an end tag (it closes 'o' opened at 2:2), not as an "
         "empty element: write '<Mesh />'"},
        {"<base>\n<scene>\n<objects>\n</scene>\n</objects>\n",
         "demofinal.xml:4:1: error: '</scene>' closes 'objects' opened at 3:1: end tags are not matched by name"},
        {"<base><a>", "demofinal.xml:1:7: error: '<a>' is never closed"},
    };
    for (const auto& [text, finding] : cases) {
        const std::vector<std::string> lines = SceneFindings(text);
        EXPECT_NE(std::find(lines.begin(), lines.end(), finding), lines.end()) << text;
    }
}

TEST(MarkedMarkupTest, SurvivesDeepNestingAndAnyBytes)
{
    // Nesting far deeper than a call stack could follow.
    std::string deep = "<base>";
    for (int i = 0; i < 200000; ++i) {
        deep += "<a>";
    }
    const std::vector<std::string> deepFindings = SceneFindings(deep);
    EXPECT_NE(std::find(deepFindings.begin(), deepFindings.end(), "demofinal.xml:1:600004: error: '<a>' is never closed"),
              deepFindings.end());

    // Bytes of every value, markup characters made common.
    uint32_t state = 12345;
    const char markup[] = "<>/=\"' \t\n&;!?-abc:";
    for (int round = 0; round < 20; ++round) {
        std::string bytes(20000, '\0');
        for (char& c : bytes) {
            state = state * 1664525u + 1013904223u;
            c = (state >> 24) % 2 ? markup[(state >> 8) % (sizeof markup - 1)] : static_cast<char>(state >> 16);
        }
        SceneFindings(bytes, 10.0);
    }
}
