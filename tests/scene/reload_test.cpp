#include <gtest/gtest.h>

#include "scene/behaviour_reload.h"
#include "scene/mesh_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"

namespace {

using ReloadTest = SceneFixture;

using Events = std::vector<std::pair<std::string, float>>;

// A scene file with the lamp's position track keyed at 0 and `lastKey`.
std::string Behaviour(int lastKey, const std::string& triggers)
{
    const std::string key = "<key t=\"" + std::to_string(lastKey) + "\" x=\"1\" />";
    return "<base>\n <scene>\n  <automations>\n   <reloadLamp::Position> <key t=\"0\" x=\"1\" /> " + key +
           " </reloadLamp::Position>\n  </automations>\n  <eventtrigger>\n" + triggers +
           "  </eventtrigger>\n </scene>\n</base>\n";
}

Events Triggers()
{
    Events triggers;
    for (const EventTrigger& trigger : TheWorld().EventTriggers()) {
        triggers.emplace_back(trigger.name, trigger.time);
    }
    return triggers;
}

}  // namespace

// Materials reloading, and keeping what they had when the file is cut short,
// are seen in the frames of the live-editing run (WatchTest).
TEST_F(ReloadTest, AMeshTakesItsFilesNewContentsInPlaceAndKeepsTheOldOnesWhenTheFileIsBad)
{
    StdoutCapture quiet;
    WriteFile("model/rock.obj", MeshFile(3));
    Mesh* rock = LoadMesh("rock");
    ASSERT_NE(rock, nullptr);
    WriteFile("model/rock.obj", MeshFile(6));  // read again, not from the file cache
    ASSERT_EQ(ReloadMeshFile(*rock), 0);
    EXPECT_EQ(rock->vertexCount, 6u);
    EXPECT_EQ(rock->positions[3 * 5], 500.0f);  // vertex 5, float 0
    WriteFile("model/rock.obj", MeshFile(9, kModelFileMagic, 4));  // cut short
    StderrCapture refused;
    EXPECT_EQ(ReloadMeshFile(*rock), -1);
    EXPECT_EQ(refused.Lines(), (std::vector<std::string>{"model/rock.obj: 9 vertices need 512 bytes, the file holds 232",
                                                         "Cannot reload mesh rock: the file is missing or malformed"}));
    EXPECT_EQ(rock->vertexCount, 6u);
    EXPECT_EQ(rock->positions[3 * 5], 500.0f);
}

TEST_F(ReloadTest, TheSceneFilesAutomationsAndEventsReplaceTheWorldsAndAnUnreadableFileChangesNothing)
{
    StdoutCapture quiet;
    auto* lamp = new Light("reloadLamp");  // the registry keeps it
    AddLight(lamp);
    WriteFile("scene.xml", Behaviour(10, "   <flash eventTime=\"3\" />\n"));
    ASSERT_EQ(ReloadBehaviour("scene.xml"), 0);
    EXPECT_EQ(KeyTimes(lamp, "Position"), (std::vector<float>{0, 10}));
    EXPECT_EQ(Triggers(), (Events{{"flash", 3.0f}}));

    // Read again: the old track and event are gone, not added to.
    WriteFile("scene.xml", Behaviour(20, "   <fade eventTime=\"4\" />\n   <exit eventTime=\"9\" />\n"));
    ASSERT_EQ(ReloadBehaviour("scene.xml"), 0);
    EXPECT_EQ(KeyTimes(lamp, "Position"), (std::vector<float>{0, 20}));
    EXPECT_EQ(Triggers(), (Events{{"fade", 4.0f}, {"exit", 9.0f}}));

    StderrCapture refused;
    EXPECT_EQ(ReloadBehaviour("missing.xml"), -1);
    EXPECT_EQ(refused.Lines(),
              std::vector<std::string>{"missing.xml: cannot be read; the show keeps its automations and events"});
    EXPECT_EQ(KeyTimes(lamp, "Position"), (std::vector<float>{0, 20}));
}
