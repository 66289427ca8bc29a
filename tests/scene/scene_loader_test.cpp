#include <algorithm>
#include <regex>
#include <sstream>

#include "scene/scene_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"

namespace {

// A scene with every section, with good and bad entries in each.
const char* kScene = R"(<?xml version="1.0"?>
<base>
  <scene>
    <meshes> <missingmesh /> <crate /> </meshes>
    <materials> <bricks /> </materials>
    <objects>
      <box1> <Position x="0" y="1" z="0" /> <Rotation x="0.5" y="0" z="0" /> <Scale x="2" />
        <Mesh name="crate" /> <Material name="bricks" /> </box1>
      <box2> <Mesh name="crate" /> <Material name="bricks" /> <Scale x="1" y="1" z="1" /> </box2>
      <ghost> <Mesh name="missingmesh" /> <Material name="nothing" /> </ghost>
      <bare> <Position x="1" /> <Mesh name="crate" /> </bare>
      <nameless> <Mesh /> <Material /> </nameless>
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
      <lower classname="camera" />
    </actors>
    <actors> <second classname="Camera" /> </actors>
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
      <exit eventTime="180" /> <activate eventTime="12.5" target="cam1" /> <destroy eventTime="20" />
      <activate eventTime="12.5" target="box1" /> <restore />
    </eventtrigger>
  </scene>
</base>
)";

// One line per item of the scene that logs.
const std::vector<std::string> kExpectedLoadLines = {
    "Cannot open file: model/missingmesh.obj", "openfileerror", "Cannot load file missingmesh",
    "Cannot open file: tex/bricks_normal.bmp", "openfileerror",
    "material bricks width: 4 height: 2 channel: 3 size24 dataptr: (address)",
    "Can't get meshinstance(missingmesh) for object(ghost)", "Can't get materialinstance(nothing) for object(ghost)",
    "Can't get materialinstance() for object(bare)",
    "Can't get meshinstance() for object(nameless)", "Can't get materialinstance() for object(nameless)",
    "Light: lamp1 Position: { 0 , 5 , 0 }",
    "Light: lamp2 Position: { 1 , 1 , 1 }", "Light: lamp2 Position: { 1.5 , 2.25 , -3 }",
    "loading actors",
    "Adding Light: lamp2 to Actor: flicker1", "lamp2 Color: { 0.5 , 0.5 , 0.5 }",
    "ObjectPulsator::AddEntity: Adding mesh box2 to pulse1",
    "loading automations",
    "automation box1::Rotation", "automated param: Rotation of entity box1",
    "automation cam1::Position", "automated param: Position of entity cam1", "entity was not found in object list",
    "automation lamp1::Color", "automated param: Color of entity lamp1", "entity was not found in object list",
    "entity was not found in actor list",
    "automation box1::Rotation", "automated param: Rotation of entity box1",
    "automation broken", "parsing error",
    "automation nobody::Position", "automated param: Position of entity nobody",
    "entity was not found in object list", "entity was not found in actor list", "entity was not found in light list",
    "automation box1::Wobble", "automated param: Wobble of entity box1", "param Wobble not found",
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

// The vector as the log lines show it.
std::string Show(const Vec3& v)
{
    std::ostringstream text;
    text << v;
    return text.str();
}

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
    std::vector<std::string> loadLines(lines.begin(), firstRelease);
    for (std::string& line : loadLines) {
        line = std::regex_replace(line, std::regex("dataptr: [0-9a-f]+$"), "dataptr: (address)");
    }
    EXPECT_EQ(loadLines, kExpectedLoadLines);
    const std::vector<std::string> release(firstRelease, lines.end());
    ASSERT_EQ(release.size() % 2, 0u);
    EXPECT_EQ(release[1], "XMLTag dtor: base");
    EXPECT_EQ(release[3], "XMLTag dtor: scene");
    EXPECT_EQ(release.back(), "XMLTag dtor: restore");

    // Objects: components not given are 0; only complete ones are registered.
    entity_base* box1 = FindObject("box1");
    ASSERT_NE(box1, nullptr);
    EXPECT_EQ(Show(box1->Scale) + Show(box1->Position) + Show(box1->Rotation),
              "{ 2 , 0 , 0 }{ 0 , 1 , 0 }{ 0.5 , 0 , 0 }");
    EXPECT_EQ(box1->meshInstance, FindMesh("crate"));
    EXPECT_EQ(box1->materialInstance, FindMaterial("bricks"));
    for (const char* missing : {"ghost", "bare", "nameless"}) {
        EXPECT_EQ(FindObject(missing), nullptr) << missing;
    }
    EXPECT_EQ(FindMesh("missingmesh"), nullptr);
    // Each vertex record (float f of vertex v is 100v + f) is split into the five arrays.
    const Mesh* crate = FindMesh("crate");
    EXPECT_EQ(std::vector<float>({crate->positions[5], crate->texcoords[3], crate->normals[5], crate->tangents[5],
                                  crate->binormals[5]}),
              std::vector<float>({102, 104, 107, 110, 113}));

    // Lights: defaults for what is not given, the later of two children wins.
    Light* lamp1 = FindLight("lamp1");
    Light* lamp2 = FindLight("lamp2");
    ASSERT_TRUE(lamp1 && lamp2);
    EXPECT_EQ(Show(lamp1->Color) + Show(lamp1->Cutoff), "{ 1 , 0.9 , 0.8 }{ 3 , 0 , 0 }");
    EXPECT_EQ(Show(lamp2->Color) + Show(lamp2->Cutoff) + Show(lamp2->Position),
              "{ 0.5 , 0.5 , 0.5 }{ 2 , 0 , 0 }{ 1.5 , 2.25 , -3 }");

    // Actors by exact class name, with their parameters and entities; only
    // the first actors section is read.
    const std::pair<const char*, const char*> actors[] = {
        {"bouncer1", "BassBouncer"}, {"flicker1", "LightFlicker"}, {"pulse1", "ObjectPulsator"},
        {"cam1", "Camera"},          {"curve", "LineFX"},          {"credits", "Greeter"},
    };
    for (const auto& [name, className] : actors) {
        ASSERT_NE(FindActor(name), nullptr) << name;
        EXPECT_EQ(FindActor(name)->GetClassName(), className);
    }
    for (const char* missing : {"odd", "noclass", "lower", "second"}) {
        EXPECT_EQ(FindActor(missing), nullptr) << missing;
    }
    Actor* bouncer = FindActor("bouncer1");
    EXPECT_EQ(bouncer->GetEntity(0), box1);
    EXPECT_EQ(bouncer->GetParam("Scale")->value->x, 1);
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
    EXPECT_EQ(colour->Keys()[1].time, 5);
    EXPECT_EQ(colour->Keys()[1].values[0], 0);

    // Triggers: in time order, equal times in file order, no time gives 0; a
    // target that is not an actor goes to every subscriber.
    std::ostringstream triggers;
    for (const EventTrigger& trigger : TheWorld().EventTriggers()) {
        triggers << trigger.name << " " << trigger.time << (trigger.target == camera ? " cam1" : trigger.target ? " ?" : "")
                 << "; ";
    }
    EXPECT_EQ(triggers.str(), "restore 0; activate 12.5 cam1; activate 12.5; destroy 20; exit 180; ");

    // Only the complete objects reach the renderer.
    EXPECT_EQ(renderer.CountCalls("AddRenderInstance"), 3);
}

TEST_F(SceneLoaderTest, MissingFilesAndSectionsAreReported)
{
    EXPECT_TRUE(LoadLines("absent.xml", -1).empty());
    MakeFifo("pipe.xml");
    RunWithoutBlockingOn("pipe.xml", [] {
        EXPECT_EQ(LoadLines("pipe.xml", -1), std::vector<std::string>{"pipe.xml: not a regular file"});
    });
    WriteFile("scene.xml", std::string("<root><scene><meshes /></scene></root>"));
    EXPECT_EQ(LoadLines("scene.xml", 0),
              (std::vector<std::string>{"scene.xml: no meshes found", "scene.xml: no materials found",
                                        "scene.xml: no objects found", "scene.xml: no lights found",
                                        "scene.xml: no actors found", "scene.xml: no automations found",
                                        "scene.xml: no event trigger found"}));
    // Without lights, actors, automations and triggers still load.
    WriteFile("scene.xml", std::string("<base><scene><meshes /><materials /><objects /><actors /><automations />"
                                       "<eventtrigger /></scene></base>"));
    EXPECT_EQ(LoadLines("scene.xml", 0), (std::vector<std::string>{"scene.xml: no lights found", "loading actors",
                                                                    "loading automations", "loading event trigger"}));
}

TEST_F(SceneLoaderTest, TimesThatAreNotFiniteNumbersAreRefusedNamingTheirEntry)
{
    WriteFile("scene.xml", std::string(R"(<base><scene><actors> <timed classname="Camera" /> </actors>
      <automations> <timed::Position> <key t="3" x="3" /> <key t="nan" x="9" /> <key t="1" x="1" /> <key t="inf" />
        <key t="2" x="2" /> </timed::Position> </automations>
      <eventtrigger> <t_nine eventTime="9" /> <t_nan eventTime="nan" /> <t_low eventTime="-inf" />
        <t_big eventTime="1e39" /> <t_one eventTime="1" /> <t_five eventTime="5" /> </eventtrigger>
    </scene></base>)"));
    const std::vector<std::string> lines = LoadLines("scene.xml", 0);
    for (const char* refused : {
             "automation timed::Position: key 2 time nan is not a finite number; key skipped",
             "automation timed::Position: key 4 time inf is not a finite number; key skipped",
             "event trigger t_nan: time nan is not a finite number; trigger skipped",
             "event trigger t_low: time -inf is not a finite number; trigger skipped",
             "event trigger t_big: time 1e39 is not a finite number; trigger skipped",
         }) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), refused), 1) << refused;
    }
    EXPECT_EQ(KeyTimes(FindActor("timed"), "Position"), (std::vector<float>{1, 2, 3}));
    std::vector<std::string> triggers;
    for (const EventTrigger& trigger : TheWorld().EventTriggers()) {
        if (trigger.name.rfind("t_", 0) == 0) {
            triggers.push_back(trigger.name);
        }
    }
    EXPECT_EQ(triggers, (std::vector<std::string>{"t_one", "t_five", "t_nine"}));
}
