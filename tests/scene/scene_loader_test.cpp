#include <algorithm>
#include <sstream>

#include "scene/scene_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"

namespace {

// A scene with every section, with good and bad entries in each.
const char* kScene = R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes> <crate /> </meshes>
    <materials> <bricks /> </materials>
    <objects>
      <box1> <Position x="0" y="1" z="0" /> <Scale x="2" /> <Mesh name="crate" /> <Material name="bricks" /> </box1>
      <box2> <Mesh name="crate" /> <Material name="bricks" /> <Scale x="1" y="1" z="1" /> </box2>
      <ghost> <Mesh name="missingmesh" /> <Material name="nothing" /> </ghost>
      <bare> <Position x="1" /> <Mesh name="crate" /> </bare>
    </objects>
    <lights>
      <lamp1> <Color x="1" y="0.9" z="0.8" /> <Position x="0" y="5" z="0" /> <Cutoff x="3" /> </lamp1>
      <lamp2> <Position x="1" y="1" z="1" /> <Position x="1.5" y="2.25" z="-3" /> </lamp2>
      <lamp3> <Color x="0" y="1" z="0" /> </lamp3> <lamp4> <Cutoff x="5" /> </lamp4>
    </lights>
    <actors>
      <flicker1 classname="LightFlicker"> <child name="lamp2" /> <child name="nobody" /> </flicker1>
      <pulse1 classname="ObjectPulsator"> <Params x="2" y="0" z="0" /> <child name="box2" /> </pulse1>
      <cam1 classname="Camera"> <Position x="0" y="0" z="10" /> </cam1>
      <odd classname="Nothing" />
      <noclass other="x" classname="Camera" />
      <lower classname="camera" />
    </actors>
    <actors> <second classname="Camera" /> </actors>
    <automations>
      <box1::Rotation> <key t="4" x="4" y="0" z="0" /> <key t="0" x="0" y="0" z="0" /> <key t="2" x="2" y="0" z="0" /> </box1::Rotation>
      <cam1::Position> <key t="0" x="0" y="0" z="10" /> <key t="10" x="0" y="0" z="20" /> </cam1::Position>
      <lamp1::Color> <key t="0" x="1" y="1" z="1" /> <key t="5" /> </lamp1::Color>
      <box1::Rotation> <key t="1" x="1" y="0" z="0" /> </box1::Rotation>
    </automations>
    <eventtrigger>
      <exit eventTime="180" /> <activate eventTime="12.5" target="cam1" /> <destroy eventTime="20" />
      <activate eventTime="12.5" target="box1" /> <restore />
    </eventtrigger>
  </scene>
</base>
)";

using SceneLoaderTest = SceneFixture;

// The loaders' lines: the tree's release follows them.
std::vector<std::string> LoadLines(const std::string& file, int expectedResult)
{
    StdoutCapture capture;
    EXPECT_EQ(LoadScene(file), expectedResult) << file;
    std::vector<std::string> lines = capture.Lines();
    lines.erase(std::find(lines.begin(), lines.end(), "XMLTagExtended dtor"), lines.end());
    return lines;
}

}  // namespace

TEST_F(SceneLoaderTest, LoadsEverySectionAndRegistersWhatTheFileDescribes)
{
    WriteFile("model/crate.obj", MeshFile(3));
    WriteFile("tex/bricks.bmp", BitmapFile(4, 2, std::vector<uint8_t>(24, 200)));
    WriteFile("demofinal.xml", std::string(kScene));
    LoadLines("demofinal.xml", 0);

    // Objects: components not given are 0; only complete ones are registered.
    entity_base* box1 = FindObject("box1");
    ASSERT_NE(box1, nullptr);
    ExpectVec(box1->Scale, 2, 0, 0);
    EXPECT_EQ(box1->meshInstance, FindMesh("crate"));
    EXPECT_EQ(box1->materialInstance, FindMaterial("bricks"));
    EXPECT_EQ(FindObject("ghost"), nullptr);
    EXPECT_EQ(FindObject("bare"), nullptr);

    // Lights: defaults for what is not given (grey, a reach of 2), each
    // whether or not the other is given; the later of two children wins.
    Light* lamp1 = FindLight("lamp1");
    Light* lamp2 = FindLight("lamp2");
    Light* lamp3 = FindLight("lamp3");
    Light* lamp4 = FindLight("lamp4");
    ASSERT_TRUE(lamp1 && lamp2 && lamp3 && lamp4);
    ExpectVec(lamp1->Color, 1, 0.9f, 0.8f);
    EXPECT_EQ(lamp1->Cutoff.x, 3);
    ExpectVec(lamp2->Color, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(lamp2->Cutoff.x, 2);
    ExpectVec(lamp2->Position, 1.5f, 2.25f, -3);
    ExpectVec(lamp3->Color, 0, 1, 0);
    EXPECT_EQ(lamp3->Cutoff.x, 2);
    ExpectVec(lamp4->Color, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(lamp4->Cutoff.x, 5);

    // Actors by exact class name, with their parameters and entities; only
    // the first actors section is read.
    const std::pair<const char*, const char*> actors[] = {
        {"flicker1", "LightFlicker"}, {"pulse1", "ObjectPulsator"}, {"cam1", "Camera"}};
    for (const auto& [name, className] : actors) {
        ASSERT_NE(FindActor(name), nullptr) << name;
        EXPECT_EQ(FindActor(name)->GetClassName(), className);
    }
    for (const char* missing : {"odd", "noclass", "lower", "second"}) {
        EXPECT_EQ(FindActor(missing), nullptr) << missing;
    }
    EXPECT_EQ(FindActor("flicker1")->GetEntity(0), lamp2);
    EXPECT_EQ(FindActor("flicker1")->GetEntityCount(), 1);
    EXPECT_EQ(FindActor("pulse1")->GetParam("Params")->value->x, 2);
    Actor* camera = FindActor("cam1");
    EXPECT_EQ(camera->Position.z, 10);

    // Automations: keys merged in time order across elements; missing key
    // values are 0; an actor or a light can be the target.
    EXPECT_EQ(KeyTimes(box1, "Rotation"), (std::vector<float>{0, 1, 2, 4}));
    EXPECT_EQ(KeyTimes(camera, "Position"), (std::vector<float>{0, 10}));
    Automation* colour = FindAutomation(lamp1, "Color");
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->Keys()[1].values[0], 0);

    // Triggers: in time order, equal times in file order, no time gives 0; a
    // target that is not an actor goes to every subscriber.
    std::ostringstream triggers;
    for (const EventTrigger& trigger : TheWorld().EventTriggers()) {
        triggers << trigger.name << " " << trigger.time << (trigger.target == camera ? " cam1" : trigger.target ? " ?" : "")
                 << "; ";
    }
    EXPECT_EQ(triggers.str(), "restore 0; activate 12.5 cam1; activate 12.5; destroy 20; exit 180; ");
    EXPECT_EQ(renderer.CountCalls("AddRenderInstance"), 3);  // box1, box2 and the pulsator's copy
}

TEST_F(SceneLoaderTest, MissingFilesAndSectionsAreReported)
{
    EXPECT_EQ(LoadLines("absent.xml", -1), std::vector<std::string>{"Cannot open file: absent.xml"});
    WriteFile("scene.xml", std::string("<root><scene><meshes /></scene></root>"));
    EXPECT_EQ(LoadLines("scene.xml", 0),
              (std::vector<std::string>{"scene.xml: no meshes found", "scene.xml: no materials found",
                                        "scene.xml: no objects found", "scene.xml: no lights found",
                                        "scene.xml: no actors found", "scene.xml: no automations found",
                                        "scene.xml: no event trigger found"}));
    // A missing mesh file is named; without lights, the later sections still load.
    WriteFile("scene.xml", std::string("<base><scene><meshes> <gone /> </meshes><materials /><objects /><actors />"
                                       "<automations /><eventtrigger /></scene></base>"));
    EXPECT_EQ(LoadLines("scene.xml", 0),
              (std::vector<std::string>{"Cannot open file: model/gone.obj", "openfileerror", "Cannot load file gone",
                                        "scene.xml: no lights found", "loading actors", "loading automations",
                                        "loading event trigger"}));
    EXPECT_EQ(FindMesh("gone"), nullptr);
}

TEST_F(SceneLoaderTest, NumbersTheShowCannotUseAreRefusedNamingTheirEntry)
{
    WriteFile("scene.xml", std::string(R"(<base><scene><actors> <timed classname="Camera" /> </actors>
      <lights> <dark> <Cutoff x="-2" /> </dark> </lights>
      <automations> <timed::Position> <key t="3" x="3" /> <key t="nan" x="9" /> <key t="1" x="1" /> <key t="inf" />
        <key t="2" x="2" /> <key t="4" x="1e30" /> <key t="5" x="0" y="0" z="-1e30" /> <key t="6" x="1e15" />
        </timed::Position> </automations>
      <eventtrigger> <t_nine eventTime="9" /> <t_nan eventTime="nan" /> <t_low eventTime="-inf" />
        <t_big eventTime="1e39" /> <t_one eventTime="1" /> <t_five eventTime="5" /> </eventtrigger>
    </scene></base>)"));
    StderrCapture problems;
    LoadLines("scene.xml", 0);
    const std::vector<std::string> lines = problems.Lines();
    for (const char* refused : {
             "automation timed::Position: key 2 time nan is not a finite number; key skipped",
             "automation timed::Position: key 6 value 1e+30 is not a finite number within +-1e+15; key skipped",
             "automation timed::Position: key 7 value -1e+30 is not a finite number within +-1e+15; key skipped",
             "event trigger t_big: time 1e39 is not a finite number; trigger skipped",
             "Light: dark Cutoff -2 is not a positive number: the light lights nothing",
         }) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), refused), 1) << refused;
    }
    EXPECT_EQ(KeyTimes(FindActor("timed"), "Position"), (std::vector<float>{1, 2, 3, 6}));
    std::vector<std::string> triggers;
    for (const EventTrigger& trigger : TheWorld().EventTriggers()) {
        if (trigger.name.rfind("t_", 0) == 0) {
            triggers.push_back(trigger.name);
        }
    }
    EXPECT_EQ(triggers, (std::vector<std::string>{"t_one", "t_five", "t_nine"}));
}
