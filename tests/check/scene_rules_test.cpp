// The checker's rules on a scene seeded with one mistake of each kind, each
// at a known line, and on a scene without any.

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "formats/little_endian.h"
#include "formats/model_file.h"
#include "tests/check/check_findings.h"
#include "world/actor.h"
#include "world/actor_catalogue.h"
#include "world/actor_factory.h"
#include "world/entity.h"

namespace {

// Every section, with mistakes in the sections, entities, automations and
// triggers; the markup itself is sound.
constexpr char kSeededScene[] = R"(<base>
  <scene>
    <meshes> <cube /> <cube /> </meshes>
    <materials> <bricks /> </materials>
    <objects>
      <box> <Mesh name="cube" /> <Material name="bricks" /> <Scale x="1" y="1" z="1" /> <Positon x="1" /> </box>
      <flat> <Material name="bricks" /> <Scale x="1" w="2" /> </flat>
      <tiny> <Mesh name="cub" /> <Material name="bricks" /> </tiny>
    </objects>
    <lights>
      <lamp> <Color x="1" y="abc" z="1e40" /> </lamp>
    </lights>
    <actors>
      <cam classname="Camra" />
      <cam2 name="x" classname="Camera" />
      <cam3 classname="Camera"> <Fov x="1" /> <child name="box" /> </cam3>
      <flick classname="LightFlicker"> <child name="box" /> <child name="lmap" /> </flick>
      <shatter classname="ObjectPulsator"> <Params x="2" /> <child name="lamp" /> </shatter>
    </actors>
    <automations>
      <cam3::Position> <key t="4" x="0" y="0" z="0" /> <key t="2" x="0" y="0" z="0" w="1" /> </cam3::Position>
      <ghost::Position> <key t="0" x="0" y="0" z="0" /> <key t="1" x="0" y="0" z="0" /> </ghost::Position>
      <cam3::Color> <key t="0" x="0" y="0" z="0" /> </cam3::Color>
      <box::Scale> <key t="0" x="0" y="0" /> </box::Scale>
      <lampColor> <key t="0" x="0" y="0" z="0" /> </lampColor>
    </automations>
    <eventtrigger>
      <activte eventTime="1" />
      <activate eventTime="2" target="box" />
      <activate eventTime="2" target="cam3" />
      <destroy eventTime="3" target="cam3" />
      <stop eventTime="0" />
      <pause eventTime="200" />
      <exit time="9" eventTime="10" eventTime="12" />
      <exit eventTime="12" target="cam3" />
    </eventtrigger>
    <object />
  </scene>
</base>
)";

// Cameras that meet objects, each in its own shot: one flies through a
// pillar, one stands just short of it, one stands in a slab that is turned
// and stretched (and another beside it, inside the slab's world box but not
// in the slab), one waits while an automation stretches a block round it,
// one stands within the ball a bouncer spins a block through. A camera
// inside the pillar says nothing, being made the view only after the exit;
// the credits' activation leaves the view as it is, and may come at the
// moment a camera's does.
constexpr char kCameraScene[] = R"(<base>
  <scene>
    <meshes> <block /> </meshes>
    <materials> <stone /> </materials>
    <objects>
      <pillar> <Mesh name="block" /> <Material name="stone" /> <Scale x="1" y="1" z="1" /> <Position x="0.1" /> </pillar>
      <slab> <Mesh name="block" /> <Material name="stone" /> <Scale x="4" y="1" z="1" /> <Position x="10" /> <Rotation x="0.5" /> </slab>
      <grower> <Mesh name="block" /> <Material name="stone" /> <Scale x="1" y="1" z="1" /> <Position x="20" /> </grower>
      <orb> <Mesh name="block" /> <Material name="stone" /> <Scale x="1" y="1" z="1" /> <Position x="30" /> </orb>
    </objects>
    <actors>
      <beat classname="BassBouncer"> <child name="orb" /> </beat>
      <camMove classname="Camera" />
      <camNear classname="Camera"> <Position x="-0.65" y="-1" z="0" /> </camNear>
      <camSlabIn classname="Camera"> <Position x="-11.7475" y="-1" z="0.5557" /> </camSlabIn>
      <camSlabOut classname="Camera"> <Position x="-10.4794" y="-1" z="-0.8776" /> </camSlabOut>
      <camIdle classname="Camera"> <Position x="-0.1" y="-1" z="0" /> </camIdle>
      <camGrow classname="Camera"> <Position x="-21.27" y="-1" z="0" /> </camGrow>
      <credits classname="Greeter" />
      <camBall classname="Camera"> <Position x="-30" y="0" z="-2.2" /> </camBall>
    </actors>
    <automations>
      <camMove::Position> <key t="0" x="5" y="-1" z="0" /> <key t="10" x="-5" y="-1" z="0" /> </camMove::Position>
      <grower::Scale> <key t="10" x="1" y="1" z="1" /> <key t="20" x="5" y="1" z="1" /> </grower::Scale>
    </automations>
    <eventtrigger>
      <activate eventTime="1" target="camMove" />
      <activate eventTime="8" target="camNear" />
      <activate eventTime="9" target="camSlabIn" />
      <activate eventTime="10" target="camSlabOut" />
      <activate eventTime="11" target="camGrow" />
      <activate eventTime="11" target="credits" />
      <activate eventTime="16" />
      <exit eventTime="18" />
      <activate eventTime="20" target="camIdle" />
    </eventtrigger>
  </scene>
</base>
)";

// A mesh file whose vertices span the box from `low` to `high`.
std::vector<uint8_t> BoxSpanMesh(Vec3 low, Vec3 high)
{
    std::vector<uint8_t> bytes;
    AppendU32(bytes, 3);
    AppendU32(bytes, kModelFileMagic);
    for (const Vec3& corner : {low, high, low}) {
        for (uint32_t f = 0; f < kModelFloatsPerVertex; ++f) {
            AppendF32(bytes, f == 0 ? corner.x : f == 1 ? corner.y : f == 2 ? corner.z : 0.0f);
        }
    }
    return bytes;
}

}  // namespace

TEST(SceneRulesTest, WarnsWhereTheViewingCameraMeetsAnObject)
{
    ScopedWorkDir directory;
    WriteFile("demofinal.xml", std::string(kCameraScene));
    WriteFile("model/block.obj", BoxSpanMesh(Vec3{-0.5f, 0.0f, -0.5f}, Vec3{0.5f, 2.0f, 0.5f}));
    std::ostringstream printed;
    CheckProduction("demofinal.xml", "13_3.ogg", printed);
    std::vector<std::string> cameraLines;
    for (const std::string& line : SplitLines(printed.str())) {
        EXPECT_EQ(line.find("at the same time"), std::string::npos) << line;
        if (line.find("camera '") != std::string::npos) {
            cameraLines.push_back(line);
        }
    }
    const std::vector<std::string> expected = {
        "demofinal.xml:14:7: warning: camera 'camNear' comes nearer to 'pillar' than its near plane reaches (0.087) "
        "from 8.0 s to 9.0 s",
        "demofinal.xml:15:7: warning: camera 'camSlabIn' is inside 'slab' from 9.0 s to 10.0 s",
        "demofinal.xml:18:7: warning: camera 'camGrow' is inside 'grower' from 14.1 s to 16.0 s",
        "demofinal.xml:20:7: warning: camera 'camBall' is inside 'orb' from 16.0 s to 18.0 s",
        "demofinal.xml:23:7: warning: camera 'camMove' is inside 'pillar' from 4.7 s to 5.5 s",
    };
    EXPECT_EQ(cameraLines, expected) << printed.str();

    // An exit written far beyond any show: the paths are followed for an hour.
    std::string late = kCameraScene;
    const std::string exit = "<exit eventTime=\"18\"";
    late.replace(late.find(exit), exit.size(), "<exit eventTime=\"1e30\"");
    WriteFile("demofinal.xml", late);
    std::ostringstream printedLate;
    CheckProduction("demofinal.xml", "13_3.ogg", printedLate);
    EXPECT_NE(printedLate.str().find("camera 'camIdle' is inside 'pillar' from 20.0 s to 3600.0 s"), std::string::npos)
        << printedLate.str();
}

TEST(SceneRulesTest, NamesEachSeededMistakeAtItsLine)
{
    const std::vector<std::string> expected = {
        "demofinal.xml:3:23: warning: mesh 'cube' is loaded twice (also at 3:14)",
        "demofinal.xml:6:89: error: objects have no 'Positon': it is ignored; did you mean 'Position'?",
        "demofinal.xml:7:7: error: object 'flat' has no Mesh: it is not drawn",
        "demofinal.xml:7:54: error: attribute 'w' of 'Scale' is not read (only x, y and z are)",
        "demofinal.xml:8:7: warning: object 'tiny' has no Scale: it is drawn at scale 0 (invisible)",
        "demofinal.xml:8:20: error: Mesh 'cub' is not in the meshes section: object 'tiny' is not drawn; did you "
        "mean 'cube'?",
        "demofinal.xml:11:27: error: 'abc' (y) is not a number: read as 0",
        "demofinal.xml:11:35: error: '1e40' (z) is not a finite number",
        "demofinal.xml:14:12: error: unknown class 'Camra': no actor is made; did you mean 'Camera'?",
        "demofinal.xml:15:22: error: classname must be the first attribute of 'cam2': no actor is made",
        "demofinal.xml:16:33: error: actor 'cam3' (Camera) has no parameter 'Fov': it is ignored",
        "demofinal.xml:16:54: warning: a Camera keeps no entities: child 'box' has no effect",
        "demofinal.xml:17:47: error: a LightFlicker takes only lights: object 'box' is refused",
        "demofinal.xml:17:68: error: 'lmap' is neither an object nor a light: the child is ignored; did you mean "
        "'lamp'?",
        "demofinal.xml:18:68: error: an ObjectPulsator takes only objects with a mesh: light 'lamp' is refused",
        "demofinal.xml:21:56: warning: key at 2 s comes after one at 4 s: keys are played in time order",
        "demofinal.xml:21:85: warning: values after the fourth of a key are not read",
        "demofinal.xml:22:7: error: no object, actor or light is named 'ghost': the automation is skipped",
        "demofinal.xml:23:7: error: actor 'cam3' (Camera) has no parameter 'Color': the automation is skipped",
        "demofinal.xml:24:7: warning: automation 'box::Scale' has one key: the parameter only holds its value",
        "demofinal.xml:24:20: error: key has 3 values; it needs 4 (time, x, y, z): the missing ones are 0",
        "demofinal.xml:25:7: error: automation 'lampColor' has no '::' between entity and parameter: it is skipped",
        "demofinal.xml:28:7: error: unknown event 'activte': nothing takes it; did you mean 'activate'?",
        "demofinal.xml:29:31: error: target 'box' is not an actor: 'activate' goes to every actor that takes it",
        "demofinal.xml:30:7: warning: 'activate' at the same time as the one at 29:7: this later one wins",
        "demofinal.xml:31:30: warning: 'cam3' (Camera) does not react to 'destroy': the trigger does nothing",
        "demofinal.xml:32:13: error: a trigger at 0 s never fires (times must be above 0)",
        "demofinal.xml:33:7: warning: 'pause' at 200 s comes after the exit at 12 s: it never fires",
        "demofinal.xml:33:14: error: 'pause' at 200 s comes after the end of the music (167.6 s)",
        "demofinal.xml:34:13: warning: attribute 'time' of a trigger is not read; did you mean 'eventTime'?",
        "demofinal.xml:34:37: warning: 'eventTime' is given twice: this later one wins over 34:22",
        "demofinal.xml:37:5: error: unknown section 'object' is ignored; did you mean 'objects'?",
    };
    EXPECT_EQ(SceneFindings(kSeededScene, 167.6), expected);
}

TEST(SceneRulesTest, FindsSectionsMissingRepeatedOrOutOfPlace)
{
    const std::vector<std::string> expected = {
        "demofinal.xml:2:3: warning: 'scene' has no 'eventtrigger' section",
        "demofinal.xml:4:5: error: a second 'meshes' section is ignored (the first is at 3:5)",
        "demofinal.xml:5:14: error: section 'objects' stands inside 'lights' (at 5:5): the player reads sections "
        "only in base::scene",
        "demofinal.xml:7:3: error: a second 'scene' is ignored (the first is at 2:3)",
    };
    EXPECT_EQ(SceneFindings("<base>\n  <scene>\n    <meshes /> <materials /> <actors /> <automations />\n    <meshes />\n"
                            "    <lights> <objects /> </lights>\n"
                            "  </scene>\n  <scene />\n</base>\n"),
              expected);
    EXPECT_EQ(SceneFindings("<scene />"), std::vector<std::string>{"demofinal.xml:1:1: error: the root element is "
                                                                   "'scene', not 'base': the player finds no section"});
    EXPECT_EQ(SceneFindings(""), std::vector<std::string>{"demofinal.xml: error: no element: the scene is empty"});
}

TEST(SceneRulesTest, KnowsTheClassesAndParametersThePlayerHas)
{
    // The parameter names of an entity, and the checker's list of them, sorted.
    const auto names = [](const std::map<std::string, Param*>& params) {
        std::set<std::string> list;
        for (const auto& [name, param] : params) {
            list.insert(name);
        }
        return list;
    };
    const auto sorted = [](const std::vector<std::string>& list) { return std::set<std::string>(list.begin(), list.end()); };
    for (const ActorClass& actorClass : ActorClasses()) {
        const std::unique_ptr<Actor> actor(CreateActor(actorClass.name, "probe"));
        ASSERT_NE(actor, nullptr) << actorClass.name;
        EXPECT_EQ(actor->GetClassName(), actorClass.name);
        EXPECT_EQ(names(actor->params), sorted(ActorParams(actorClass))) << actorClass.name;
        for (const ActorParam& param : actorClass.params) {
            EXPECT_FALSE(param.meaning.empty()) << actorClass.name << " " << param.name;
        }
    }
    // Only the catalogue's names, exactly as written, make an actor.
    EXPECT_EQ(CreateActor("camera", "probe"), nullptr);
    EXPECT_EQ(CreateActor("Camera ", "probe"), nullptr);
    EXPECT_EQ(ActorClasses().size(), 6u);
    EXPECT_EQ(names(Light("probe").params), sorted(LightParams()));
    EXPECT_EQ(names(entity_base("probe").params), sorted(EntityParams()));
}
