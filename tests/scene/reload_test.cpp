#include <gtest/gtest.h>

#include "scene/behaviour_reload.h"
#include "scene/material_loader.h"
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

TEST_F(ReloadTest, MeshesAndMaterialsTakeTheirFilesNewContentsInPlaceAndKeepTheOldOnesWhenTheFileIsBad)
{
    StdoutCapture quiet;
    WriteFile("model/rock.obj", MeshFile(3));
    Mesh* rock = LoadMesh("rock");
    ASSERT_NE(rock, nullptr);
    WriteFile("model/rock.obj", MeshFile(6));  // read again, not from the file cache
    ASSERT_EQ(ReloadMeshFile(*rock), 0);
    EXPECT_EQ(rock->vertexCount, 6u);
    EXPECT_EQ(rock->positions[3 * 5], 500.0f);  // vertex 5, float 0
    EXPECT_EQ(rock->texcoords[2 * 5 + 1], 504.0f);
    WriteFile("model/rock.obj", MeshFile(9, kModelFileMagic, 4));  // cut short
    EXPECT_EQ(ReloadMeshFile(*rock), -1);
    EXPECT_EQ(rock->vertexCount, 6u);
    EXPECT_EQ(rock->positions[3 * 5], 500.0f);

    WriteFile("tex/moss.bmp", BitmapFile(4, 1, std::vector<uint8_t>(12, 10)));
    Material* moss = LoadMaterial("moss");
    ASSERT_NE(moss, nullptr);
    WriteFile("tex/moss.bmp", BitmapFile(4, 2, std::vector<uint8_t>(24, 90)));
    ASSERT_EQ(ReloadMaterialFile(*moss), 0);
    EXPECT_EQ(std::pair(moss->width, moss->height), std::pair(4u, 2u));
    EXPECT_EQ(moss->size, 24u);
    EXPECT_EQ(moss->diffuse[23], 90);
    WriteFile("tex/moss.bmp", std::vector<uint8_t>{'B', 'M', 0});
    EXPECT_EQ(ReloadMaterialFile(*moss), -1);
    EXPECT_EQ(std::pair(moss->width, moss->height), std::pair(4u, 2u));
    EXPECT_EQ(moss->diffuse[23], 90);
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

    EXPECT_EQ(ReloadBehaviour("missing.xml"), -1);
    EXPECT_EQ(KeyTimes(lamp, "Position"), (std::vector<float>{0, 20}));
    EXPECT_EQ(Triggers().size(), 2u);

    // A file whose sections are gone (an empty element without its space
    // closes the wrong one) leaves the world without them, as it reads.
    WriteFile("scene.xml", "<base>\n <scene>\n  <automations/>\n  <eventtrigger/>\n </scene>\n</base>\n");
    EXPECT_EQ(ReloadBehaviour("scene.xml"), 0);
    EXPECT_TRUE(KeyTimes(lamp, "Position").empty());
    EXPECT_TRUE(Triggers().empty());
}
