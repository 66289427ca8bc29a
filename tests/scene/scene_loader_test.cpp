#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "scene/mesh_loader.h"
#include "scene/scene_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"
#include "world/bass_bouncer.h"
#include "world/engine_camera.h"
#include "world/light_flicker.h"
#include "world/object_pulsator.h"
#include "world/world.h"

namespace {

// A scene with every section, with good and bad entries in each.
const char* kScene = R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes>
      <crate />
      <missingmesh />
    </meshes>
    <materials>
      <bricks />
    </materials>
    <objects>
      <box1>
        <Position x="0" y="1" z="0" />
        <Rotation x="0.5" y="0" z="0" />
        <Scale x="2" />
        <Mesh name="crate" />
        <Material name="bricks" />
      </box1>
      <box2> <Mesh name="crate" /> <Material name="bricks" /> <Scale x="1" y="1" z="1" /> </box2>
      <ghost> <Mesh name="missingmesh" /> <Material name="nothing" /> </ghost>
    </objects>
    <lights>
      <lamp1> <Color x="1" y="0.9" z="0.8" /> <Position x="0" y="5" z="0" /> <Cutoff x="3" /> </lamp1>
      <lamp2> <Position x="1" y="1" z="1" /> <Position x="1.5" y="2.25" z="-3" /> </lamp2>
    </lights>
    <actors>
      <bouncer1 classname="BassBouncer"> <child name="box1" /> <Scale x="1" y="0" z="0" /> <Bogus x="1" /> </bouncer1>
      <flicker1 classname="LightFlicker"> <child name="lamp2" /> <child name="nobody" /> </flicker1>
      <pulse1 classname="ObjectPulsator"> <Params x="2" y="0" z="0" /> <child name="box2" /> </pulse1>
      <cam1 classname="Camera"> <Position x="0" y="0" z="10" /> </cam1>
      <curve classname="LineFX"> <Scale x="1" y="1" z="1" /> </curve>
      <credits classname="Greeter" />
      <odd classname="Nothing" />
      <noclass other="x" classname="Camera" />
    </actors>
    <automations>
      <box1::Rotation> <key t="4" x="4" y="0" z="0" /> <key t="0" x="0" y="0" z="0" /> <key t="2" x="2" y="0" z="0" /> </box1::Rotation>
      <cam1::Position> <key t="0" x="0" y="0" z="10" /> <key t="10" x="0" y="0" z="20" /> </cam1::Position>
      <lamp1::Color> <key t="0" x="1" y="1" z="1" /> <key t="5" /> </lamp1::Color>
      <box1::Rotation> <key t="1" x="1" y="0" z="0" /> </box1::Rotation>
      <broken> <key t="0" x="1" y="1" z="1" /> </broken>
      <nobody::Position> <key t="0" x="1" y="1" z="1" /> </nobody::Position>
      <box1::Wobble> <key t="0" x="1" y="1" z="1" /> </box1::Wobble>
    </automations>
    <eventtrigger>
      <exit eventTime="180" />
      <activate eventTime="12.5" target="cam1" />
      <destroy eventTime="20" />
      <activate eventTime="12.5" target="box1" />
      <restore />
    </eventtrigger>
  </scene>
</base>
)";

const std::vector<std::string> kExpectedLoadLines = {
    "Cannot open file: model/missingmesh.obj",
    "openfileerror",
    "Cannot load file missingmesh",
    "Cannot open file: tex/bricks_normal.bmp",
    "openfileerror",
    "material bricks width: 4 height: 2 channel: 3 size24 dataptr: *",
    "Can't get meshinstance(missingmesh) for object(ghost)",
    "Can't get materialinstance(nothing) for object(ghost)",
    "Light: lamp1 Position: { 0 , 5 , 0 }",
    "Light: lamp2 Position: { 1 , 1 , 1 }",
    "Light: lamp2 Position: { 1.5 , 2.25 , -3 }",
    "loading actors",
    "Adding Light: lamp2 to Actor: flicker1",
    "lamp2 Color: { 0.5 , 0.5 , 0.5 }",
    "ObjectPulsator::AddEntity: Adding mesh box2 to pulse1",
    "loading automations",
    "automation box1::Rotation",
    "automated param: Rotation of entity box1",
    "automation cam1::Position",
    "automated param: Position of entity cam1",
    "entity was not found in object list",
    "automation lamp1::Color",
    "automated param: Color of entity lamp1",
    "entity was not found in object list",
    "entity was not found in actor list",
    "automation box1::Rotation",
    "automated param: Rotation of entity box1",
    "automation broken",
    "parsing error",
    "automation nobody::Position",
    "automated param: Position of entity nobody",
    "entity was not found in object list",
    "entity was not found in actor list",
    "entity was not found in light list",
    "automation box1::Wobble",
    "automated param: Wobble of entity box1",
    "param Wobble not found",
    "loading event trigger",
};

class SceneLoaderTest : public SceneFixture {
protected:
    void SetUp() override
    {
        SceneFixture::SetUp();
        SetViewportSize(1920, 1080);
    }
};

std::vector<float> KeyTimes(Automation* automation)
{
    std::vector<float> times;
    for (const AutomationKey& key : automation->Keys()) {
        times.push_back(key.time);
    }
    return times;
}

}  // namespace

TEST_F(SceneLoaderTest, LoadsEverySectionWithItsLogLinesAndRegistersWhatTheFileDescribes)
{
    WriteFile("model/crate.obj", MeshFile(3));
    WriteFile("tex/bricks.bmp", BitmapFile(4, 2, std::vector<uint8_t>(24, 200)));
    WriteFile("demofinal.xml", std::string(kScene));

    StdoutCapture capture;
    ASSERT_EQ(LoadScene("demofinal.xml"), 0);
    const std::vector<std::string> lines = capture.Lines();

    // The loaders' lines, then the tree's release: two lines per element.
    const auto firstRelease = std::find(lines.begin(), lines.end(), "XMLTagExtended dtor");
    const std::vector<std::string> loadLines(lines.begin(), firstRelease);
    ASSERT_EQ(loadLines.size(), kExpectedLoadLines.size());
    for (size_t i = 0; i < loadLines.size(); ++i) {
        const std::string& expected = kExpectedLoadLines[i];
        if (expected.back() == '*') {
            EXPECT_TRUE(std::regex_match(loadLines[i], std::regex(expected.substr(0, expected.size() - 1) + "[0-9a-f]+")))
                << loadLines[i];
        } else {
            EXPECT_EQ(loadLines[i], expected) << "line " << i;
        }
    }
    const std::vector<std::string> release(firstRelease, lines.end());
    ASSERT_EQ(release.size() % 2, 0u);
    EXPECT_EQ(release[1], "XMLTag dtor: base");
    EXPECT_EQ(release[3], "XMLTag dtor: scene");
    EXPECT_EQ(release.back(), "XMLTag dtor: restore");

    // Objects.
    entity_base* box1 = FindObject("box1");
    ASSERT_NE(box1, nullptr);
    EXPECT_EQ(box1->Scale.x, 2);
    EXPECT_EQ(box1->Scale.y, 0);  // a component not given is 0
    EXPECT_EQ(box1->Position.y, 1);
    EXPECT_EQ(box1->meshInstance, FindMesh("crate"));
    EXPECT_EQ(box1->materialInstance, FindMaterial("bricks"));
    EXPECT_EQ(FindObject("ghost"), nullptr);
    entity_base* box2 = FindObject("box2");
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box2->meshInstance->name, "crate_copy");  // taken over by the pulsator
    EXPECT_EQ(FindMesh("missingmesh"), nullptr);

    // Lights: defaults for what is not given, the later of two children wins.
    Light* lamp1 = FindLight("lamp1");
    Light* lamp2 = FindLight("lamp2");
    ASSERT_NE(lamp1, nullptr);
    ASSERT_NE(lamp2, nullptr);
    EXPECT_EQ(lamp1->Cutoff.x, 3);
    EXPECT_FLOAT_EQ(lamp1->Color.y, 0.9f);
    EXPECT_EQ(lamp2->Color.x, 0.5f);
    EXPECT_EQ(lamp2->Cutoff.x, 2);
    EXPECT_EQ(lamp2->Cutoff.y, 0);
    EXPECT_EQ(lamp2->Position.z, -3);

    // Actors, their parameters and entities.
    auto* bouncer = dynamic_cast<BassBouncer*>(FindActor("bouncer1"));
    ASSERT_NE(bouncer, nullptr);
    EXPECT_EQ(bouncer->GetEntity(0), box1);
    EXPECT_EQ(bouncer->Scale.x, 1);
    auto* flicker = dynamic_cast<LightFlicker*>(FindActor("flicker1"));
    ASSERT_NE(flicker, nullptr);
    EXPECT_EQ(flicker->GetEntityCount(), 1);
    auto* pulsator = dynamic_cast<ObjectPulsator*>(FindActor("pulse1"));
    ASSERT_NE(pulsator, nullptr);
    EXPECT_EQ(pulsator->Params.x, 2);
    auto* camera = dynamic_cast<EngineCamera*>(FindActor("cam1"));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->Position.z, 10);
    EXPECT_NE(FindActor("curve"), nullptr);
    EXPECT_NE(FindActor("credits"), nullptr);
    EXPECT_EQ(FindActor("odd"), nullptr);
    EXPECT_EQ(FindActor("noclass"), nullptr);
    EXPECT_EQ(renderer.lineSets.size(), 1u);

    // Automations: keys merged in time order across elements; missing key
    // values are 0; an actor or a light can be the target.
    EXPECT_EQ(KeyTimes(FindAutomation(box1, "Rotation")), (std::vector<float>{0, 1, 2, 4}));
    EXPECT_EQ(KeyTimes(FindAutomation(camera, "Position")), (std::vector<float>{0, 10}));
    Automation* colour = FindAutomation(lamp1, "Color");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->Keys()[1].time, 5);
    EXPECT_EQ(colour->Keys()[1].values[0], 0);

    // Triggers: sorted by time, equal times in file order; a target that is
    // not an actor goes to every subscriber; no time gives 0.
    std::vector<EventTrigger> triggers = TheWorld().EventTriggers();
    ASSERT_EQ(triggers.size(), 5u);
    EXPECT_EQ(triggers[0].name, "restore");
    EXPECT_EQ(triggers[0].time, 0);
    EXPECT_EQ(triggers[1].name, "activate");
    EXPECT_EQ(triggers[1].target, camera);
    EXPECT_EQ(triggers[2].target, nullptr);
    EXPECT_EQ(triggers[3].name, "destroy");
    EXPECT_EQ(triggers[4].name, "exit");
    EXPECT_EQ(triggers[4].time, 180);

    // Objects reach the renderer; the pulsator's copy replaced box2's instance.
    EXPECT_EQ(renderer.CountCalls("AddRenderInstance"), 3);
    EXPECT_EQ(renderer.CountCalls("RemoveRenderInstance"), 1);
    EXPECT_EQ(renderer.CountCalls("CreateMesh"), 2);  // crate and its copy
}
