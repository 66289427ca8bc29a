#include <gtest/gtest.h>

#include "scene/scene_loader.h"
#include "tests/scene/scene_fixture.h"
#include "world/world.h"

namespace {

using SceneBadInputTest = SceneFixture;

std::vector<std::string> Load(const std::string& text, int* result = nullptr)
{
    WriteFile("scene.xml", text);
    StdoutCapture capture;
    const int loaded = LoadScene("scene.xml");
    if (result) {
        *result = loaded;
    }
    std::vector<std::string> lines = capture.Lines();
    // Only the loaders' lines: the tree's release follows them.
    const auto release = std::find(lines.begin(), lines.end(), "XMLTagExtended dtor");
    return {lines.begin(), release};
}

}  // namespace

TEST_F(SceneBadInputTest, MissingSectionsAreReportedAndTheRestStillLoads)
{
    int result = -1;
    EXPECT_EQ(Load("<root><scene><meshes /></scene></root>", &result),
              (std::vector<std::string>{
                  "scene.xml: no meshes found", "scene.xml: no materials found",
                  "scene.xml: no objects found", "scene.xml: no lights found",
                  "scene.xml: no actors found", "scene.xml: no automations found",
                  "scene.xml: no event trigger found"}));
    EXPECT_EQ(result, 0);

    // No lights: actors, automations and triggers still load; only the first
    // of two sections of a name is read.
    const std::vector<std::string> lines = Load(
        "<base><scene><meshes /><materials /><objects />"
        "<actors><solo classname=\"Camera\" /></actors>"
        "<actors><second classname=\"Camera\" /></actors>"
        "<automations /><eventtrigger><pause eventTime=\"3\" /></eventtrigger>"
        "</scene></base>");
    EXPECT_EQ(lines, (std::vector<std::string>{"scene.xml: no lights found", "loading actors",
                                               "loading automations", "loading event trigger"}));
    EXPECT_NE(FindActor("solo"), nullptr);
    EXPECT_EQ(FindActor("second"), nullptr);

    StdoutCapture capture;
    EXPECT_EQ(LoadScene("absent.xml"), -1);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST_F(SceneBadInputTest, ObjectsWithoutMeshOrMaterialAreReportedAndNotRegistered)
{
    const std::vector<std::string> lines = Load(
        "<base><scene><objects>"
        "<bare><Position x=\"1\" /></bare>"
        "<nameless><Mesh /><Material /></nameless>"
        "</objects></scene></base>");
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
              (std::vector<std::string>{
                  "scene.xml: no meshes found", "scene.xml: no materials found",
                  "Can't get meshinstance() for object(bare)",
                  "Can't get materialinstance() for object(bare)",
                  "Can't get meshinstance() for object(nameless)",
                  "Can't get materialinstance() for object(nameless)"}));
    EXPECT_EQ(FindObject("bare"), nullptr);
    EXPECT_EQ(FindObject("nameless"), nullptr);
}
