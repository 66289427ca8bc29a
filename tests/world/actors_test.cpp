#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/process_state.h"
#include "tests/support/recording_renderer.h"
#include "tests/support/test_support.h"
#include "world/actor_factory.h"
#include "world/bass_bouncer.h"
#include "world/camera_selection.h"
#include "world/engine_camera.h"
#include "world/greeter.h"
#include "world/light_flicker.h"
#include "world/line_fx.h"
#include "world/object_pulsator.h"
#include "world/random.h"
#include "world/world.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// The first values of the random sequence after start-up.
constexpr float kR1 = -0.990342f;
constexpr float kR2 = -0.682370f;
constexpr float kR3 = -0.584303f;

void ExpectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

class ActorTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetRenderer(&renderer);
        SetViewportSize(1920, 1080);
        SeedRandom(1234);
        BassBouncer::SetPulseLevel(1.0f);
        freeCameraMode = false;
        activeCamera = sceneCamera = nullptr;
    }
    void TearDown() override { SetRenderer(nullptr); }

    RecordingRenderer renderer;
};

// A mesh registered under `name` whose vertex v sits at (v, 10v, 100v).
Mesh* MakeMesh(const std::string& name, uint32_t vertices)
{
    auto* mesh = new Mesh;  // lives on in the registry, like loaded meshes
    mesh->AllocateArrays(vertices);
    for (uint32_t v = 0; v < vertices; ++v) {
        mesh->positions[3 * v + 0] = static_cast<float>(v);
        mesh->positions[3 * v + 1] = 10.0f * static_cast<float>(v);
        mesh->positions[3 * v + 2] = 100.0f * static_cast<float>(v);
    }
    std::fill_n(mesh->normals, 3 * vertices, 0.5f);
    std::fill_n(mesh->texcoords, 2 * vertices, 0.25f);
    std::fill_n(mesh->tangents, 3 * vertices, 1.0f);
    std::fill_n(mesh->binormals, 3 * vertices, -1.0f);
    mesh->name = name;
    AddMesh(mesh);
    return mesh;
}

}  // namespace

TEST_F(ActorTest, FactoryMakesTheSixClassesByExactName)
{
    const std::pair<const char*, const char*> classes[] = {
        {"ObjectPulsator", "ObjectPulsator"}, {"BassBouncer", "BassBouncer"},
        {"LightFlicker", "LightFlicker"},     {"Camera", "Camera"},
        {"LineFX", "LineFX"},                 {"Greeter", "Greeter"},
    };
    for (const auto& [className, answer] : classes) {
        std::unique_ptr<Actor> actor(ActorFactory::Instance().CreateActor(className, "made"));
        ASSERT_NE(actor, nullptr) << className;
        EXPECT_EQ(actor->GetClassName(), answer);
        EXPECT_EQ(actor->name, "made");
        EXPECT_EQ(actor->GetEntityCount(), 0);
        EXPECT_EQ(actor->GetEntity(0), nullptr);
    }
    EXPECT_EQ(ActorFactory::Instance().CreateActor("camera", "x"), nullptr);
    EXPECT_EQ(ActorFactory::Instance().CreateActor("", "x"), nullptr);
    EXPECT_EQ(&ActorFactory::Instance(), &ActorFactory::Instance());
}

TEST_F(ActorTest, BouncerBeatsDecaysAndSpinsWithItsOwnScale)
{
    BassBouncer bouncer("bouncer");
    entity_base box("box");
    box.Scale.Set(1, 2, 3);
    ASSERT_EQ(bouncer.AddEntity(&box), 0);
    EXPECT_EQ(bouncer.AddEntity(nullptr), -1);
    EXPECT_EQ(bouncer.GetEntity(0), &box);

    bouncer.Update(BassBouncer::kBeatMs);  // beats on this update
    EXPECT_FLOAT_EQ(BassBouncer::PulseLevel(), 1.1f);
    ExpectVec(box.Scale, 1.1f, 2.2f, 3.3f);
    ExpectVec(box.Rotation, 0, 0, 0, 0);  // own Scale.x is 0: no spin

    for (int i = 0; i < 6; ++i) {
        bouncer.Update(100);
    }
    EXPECT_NEAR(BassBouncer::PulseLevel(), 0.8f, 1e-5f);
    const float settled = BassBouncer::PulseLevel();
    bouncer.Update(100);
    if (settled <= 0.8f) {
        EXPECT_EQ(BassBouncer::PulseLevel(), settled);  // holds until the next beat
    }
    ExpectVec(box.Scale, BassBouncer::PulseLevel(), 2 * BassBouncer::PulseLevel(),
              3 * BassBouncer::PulseLevel());

    // Own Scale.x 2, pulse p, dt 10: rotation grows by (3.14, 1.5, -0.5) x 0.0001 x p x 10 x 2.
    bouncer.Scale.x = 2;
    const float pulse = BassBouncer::PulseLevel();
    bouncer.Update(10);
    const float k = 0.0001f * pulse * 10 * 2;
    ExpectVec(box.Rotation, 3.14f * k, 1.5f * k, -0.5f * k, 1e-6f);

    // The level is shared: a second bouncer's beat raises it for the first.
    BassBouncer other("other");
    other.Update(BassBouncer::kBeatMs);
    EXPECT_FLOAT_EQ(BassBouncer::PulseLevel(), 1.1f);
}

TEST_F(ActorTest, FlickerRunsItsFourStatesOnRandomDurations)
{
    LightFlicker flicker("flicker");
    Light lamp("lamp");
    lamp.Color.Set(1, 0.5f, 0.25f);
    entity_base box("box");
    {
        StdoutCapture capture;
        EXPECT_EQ(flicker.AddEntity(&box), -1);
        EXPECT_EQ(flicker.AddEntity(&lamp), 0);
        EXPECT_EQ(capture.Lines(), std::vector<std::string>{"lamp Color: { 1 , 0.5 , 0.25 }"});
    }
    flicker.Update(50);  // disabled: nothing moves
    EXPECT_EQ(flicker.Entries()[0].timerMs, 0);

    flicker.Trigger("play");
    flicker.Update(5);  // steady for 10 ms
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kSteady);
    flicker.Update(6);  // 11 > 10: fading out for (r1 + 1) x 60 ms
    const float fadeOut = (kR1 + 1) * 60;
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kFadingOut);
    EXPECT_NEAR(flicker.Entries()[0].durationMs, fadeOut, 1e-4f);
    flicker.Update(0.25f);
    ExpectVec(lamp.Color, 1 - 0.25f / fadeOut, 0.5f * (1 - 0.25f / fadeOut),
              0.25f * (1 - 0.25f / fadeOut), 1e-3f);
    flicker.Update(1);  // dark for (r2 + 1) x 300 ms
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kDark);
    ExpectVec(lamp.Color, 0, 0, 0, 0);
    const float dark = (kR2 + 1) * 300;
    EXPECT_NEAR(flicker.Entries()[0].durationMs, dark, 1e-3f);
    flicker.Update(dark - 1);
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kDark);
    flicker.Update(2);  // fading in for (r3 + 1) x 60 ms
    const float fadeIn = (kR3 + 1) * 60;
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kFadingIn);
    EXPECT_NEAR(flicker.Entries()[0].durationMs, fadeIn, 1e-4f);
    flicker.Update(fadeIn / 2);
    ExpectVec(lamp.Color, 0.5f, 0.25f, 0.125f, 1e-3f);

    // Pause restores the base colour and toggles; stop ends it.
    flicker.Trigger("pause");
    EXPECT_FALSE(flicker.Enabled());
    ExpectVec(lamp.Color, 1, 0.5f, 0.25f, 0);
    flicker.Trigger("pause");
    EXPECT_TRUE(flicker.Enabled());
    flicker.Update(fadeIn);  // steady again, at the base colour
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kSteady);
    ExpectVec(lamp.Color, 1, 0.5f, 0.25f, 0);
    flicker.Trigger("stop");
    EXPECT_FALSE(flicker.Enabled());
    flicker.Trigger("activate");  // not understood: nothing
    EXPECT_FALSE(flicker.Enabled());
}

TEST_F(ActorTest, FlickerStateOfNoLengthNeverWritesNonFiniteColours)
{
    LightFlicker flicker("flicker");
    Light lamp("lamp");
    lamp.Color.Set(1, 1, 1);
    flicker.AddEntity(&lamp);
    flicker.Trigger("play");
    flicker.Update(11);  // into fading out
    SeedRandom(0);       // the next duration is (-1 + 1) x 300 = 0
    flicker.Update(100);
    EXPECT_EQ(flicker.Entries()[0].durationMs, 0);
    flicker.Update(0);  // a zero-length frame inside a zero-length state
    EXPECT_TRUE(std::isfinite(lamp.Color.x));
    flicker.Update(0.001f);  // any positive time leaves it
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kFadingIn);
}

TEST_F(ActorTest, CameraDirectionOrientationAndActivation)
{
    EngineCamera camera("cam");
    ExpectVec(camera.GetDirection(), 0, 0, -1);
    Matrix4 identity;
    MatrixIdentity(&identity);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(camera.GetOrientation()->m[i / 4][i % 4], identity.m[i / 4][i % 4]);
    }
    camera.MoveForward(2);
    ExpectVec(camera.Position, 0, 0, -2);

    camera.Rotation.Set(0, kPi / 2, 0);
    camera.Update(16);
    ExpectVec(camera.GetDirection(), 1, 0, 0);
    camera.Rotation.Set(kPi / 2, 0, 0);
    camera.Update(16);
    ExpectVec(camera.GetDirection(), 0, -1, 0);
    camera.Rotation.Set(0.3f, 0.7f, 0);
    camera.Update(16);
    const Vec3 before = camera.GetDirection();
    ExpectVec(before, std::cos(0.3f) * std::sin(0.7f), -std::sin(0.3f), -std::cos(0.3f) * std::cos(0.7f));
    camera.Rotation.z = 1.2f;  // roll is not used
    camera.Update(16);
    ExpectVec(camera.GetDirection(), before.x, before.y, before.z, 0);

    // The orientation is pitch then yaw: a point ahead at yaw b maps onto -z.
    camera.Rotation.Set(0, 0.7f, 0);
    camera.Update(16);
    const Vec3 ahead = camera.GetDirection();
    ExpectVec(TransformCoord(ahead, *camera.GetOrientation()), 0, 0, -1);

    // Yaw alone on a fresh camera does nothing until the pitch is built.
    EngineCamera editor("EditorCam");
    editor.Yaw(kPi / 2);
    ExpectVec(editor.GetDirection(), 0, 0, -1);
    editor.Pitch(0);
    ExpectVec(editor.GetDirection(), 1, 0, 0);

    camera.Trigger("activate");
    EXPECT_EQ(activeCamera, &camera);
    EXPECT_EQ(sceneCamera, &camera);
    freeCameraMode = true;
    activeCamera = &editor;
    EngineCamera other("other");
    other.Trigger("activate");
    EXPECT_EQ(activeCamera, &editor);
    EXPECT_EQ(sceneCamera, &camera);
    freeCameraMode = false;
}

TEST_F(ActorTest, PulsatorTakesOverShattersAndRestoresItsCopies)
{
    Mesh* source = MakeMesh("shard", 7);  // two whole triangles; vertex 6 never moves
    Material metal;
    metal.name = "metal";
    entity_base box("shardbox");
    box.meshInstance = source;
    box.materialInstance = &metal;
    ASSERT_EQ(AddObject(&box), 0);

    ObjectPulsator pulsator("pulsator");
    ASSERT_NE(pulsator.GetParam("Params"), nullptr);
    EXPECT_EQ(pulsator.Params.x, 1);
    entity_base bare("bare");
    {
        StdoutCapture capture;
        EXPECT_EQ(pulsator.AddEntity(&bare), -1);
        EXPECT_EQ(pulsator.AddEntity(&box), 0);
        EXPECT_EQ(capture.Lines(), (std::vector<std::string>{
                                       "ObjectPulsator::AddEntity: Adding mesh bare to pulsator",
                                       "ObjectPulsator::AddEntity: entity has no mesh",
                                       "ObjectPulsator::AddEntity: Adding mesh shardbox to pulsator",
                                   }));
    }
    Mesh* copy = box.meshInstance;
    ASSERT_NE(copy, source);
    EXPECT_EQ(copy->name, "shard_copy");
    EXPECT_EQ(copy->vertexCount, 7u);
    EXPECT_EQ(copy->texcoords[13], 0.25f);
    EXPECT_EQ(FindMesh("shard_copy"), copy);
    EXPECT_EQ(TheWorld().FindRenderInstance(&box)->mesh, copy);  // drawn in its place
    EXPECT_EQ(renderer.CountCalls("RemoveRenderInstance"), 1);

    // Nothing moves until "play"; "pause" twice leaves it as it was.
    pulsator.Trigger("destroy");
    pulsator.Update(10);
    EXPECT_EQ(copy->positions[0], 0);
    pulsator.Trigger("play");
    pulsator.Trigger("pause");
    pulsator.Trigger("pause");
    EXPECT_TRUE(pulsator.Playing());

    // elapsed 10: step 0.08, damping 100 / 1.008; the first triangle moves by
    // the normalised (r3, r2, r1) (drawn as z, y, x).
    box.meshDirty = 0;
    pulsator.Update(10);
    EXPECT_EQ(box.meshDirty, 1);
    const float length = std::sqrt(kR1 * kR1 + kR2 * kR2 + kR3 * kR3);
    const float move = 100.0f / 1.008f * 0.08f / length;
    for (int corner = 0; corner < 3; ++corner) {
        EXPECT_NEAR(copy->positions[3 * corner + 0] - source->positions[3 * corner + 0], kR3 * move, 1e-3f);
        EXPECT_NEAR(copy->positions[3 * corner + 1] - source->positions[3 * corner + 1], kR2 * move, 1e-3f);
        EXPECT_NEAR(copy->positions[3 * corner + 2] - source->positions[3 * corner + 2], kR1 * move, 1e-3f);
    }
    EXPECT_NE(copy->positions[9], source->positions[9]);
    EXPECT_EQ(copy->positions[18], source->positions[18]);  // vertex 6
    EXPECT_EQ(source->positions[0], 0);                      // the source is untouched

    // Restore pulls back within 1.5 s; a 200 ms step lands exactly.
    pulsator.Trigger("restore");
    EXPECT_FALSE(pulsator.Exploding());
    for (int i = 0; i < 7; ++i) {
        pulsator.Update(200);
    }
    EXPECT_TRUE(pulsator.Restoring());
    pulsator.Update(100);  // elapsed reaches 1500
    EXPECT_FALSE(pulsator.Restoring());
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(copy->positions[i], source->positions[i]);
    }

    // "stop" freezes the copies after one 1 ms pull-back step.
    pulsator.Trigger("destroy");
    pulsator.Update(10);
    const float away = copy->positions[0];
    pulsator.Trigger("stop");
    EXPECT_FALSE(pulsator.Playing());
    EXPECT_NEAR(copy->positions[0], away * (1 - 0.005f), 1e-5f);
    pulsator.Update(10);
    EXPECT_NEAR(copy->positions[0], away * (1 - 0.005f), 1e-5f);
    RemoveObject(&box);
}

TEST_F(ActorTest, RestoreStepNeedsItsSourceAndStaysInsideBothMeshes)
{
    Mesh* small = MakeMesh("pebble", 3);
    Mesh* copy = CopyMesh(small);
    std::fill_n(copy->positions, 9, 1000.0f);
    EXPECT_EQ(RestoreStep(copy, 200), 0);
    EXPECT_EQ(copy->positions[3], small->positions[3]);
    EXPECT_EQ(RestoreStep(nullptr, 1), -1);
    EXPECT_EQ(RestoreStep(small, 1), -1);  // not a copy

    // A later mesh of the source's name with more vertices is not the one
    // found (the first is), and a source larger than the copy is walked only
    // as far as the copy goes.
    Mesh* orphanCopy = CopyMesh(small);
    orphanCopy->name = "nowhere_copy";
    EXPECT_EQ(RestoreStep(orphanCopy, 1), -1);

    Mesh* big = MakeMesh("boulder", 300);
    Mesh* shortCopy = CopyMesh(MakeMesh("boulderish", 3));
    shortCopy->name = "boulder_copy";
    EXPECT_EQ(RestoreStep(shortCopy, 200), 0);  // only 3 vertices written
    EXPECT_EQ(shortCopy->positions[8], big->positions[8]);
    delete orphanCopy;
    delete shortCopy;
    delete copy;
}

TEST_F(ActorTest, LineEffectDrawsItsCurveAroundPositionAndScale)
{
    LineFX effect("curve");
    EXPECT_EQ(renderer.lineSets, std::vector<LineSet*>{const_cast<LineSet*>(&effect.Lines())});
    EXPECT_EQ(effect.Lines().count, 4000u);
    EXPECT_EQ(effect.Lines().points, &effect.Points()[0].x);

    effect.Position.Set(1, 2, 3);
    effect.Update(16);  // scale 0: everything at the position
    for (int k : {0, 1, 4000, 7999}) {
        ExpectVec(effect.Points()[k], 1, 2, 3, 0);
    }
    EXPECT_NEAR(effect.ClockSeconds(), 0.016f, 1e-7f);

    LineFX fresh("fresh");
    fresh.Scale.Set(1, 1, 1);
    fresh.Update(500);  // drawn at clock 0
    ExpectVec(fresh.Points()[0], 0, 1, 0);
    // The last point is the curve at u = 100.
    ExpectVec(fresh.Points()[7999], std::cos(10.0) * std::sin(101.0), std::cos(100.0) * std::cos(11.0),
              std::cos(12.0) * std::sin(90.0), 1e-5f);
    // Each segment's end is the next one's start.
    for (int k = 1; k + 1 < LineFX::kPoints; k += 2) {
        ASSERT_EQ(fresh.Points()[k].x, fresh.Points()[k + 1].x) << k;
    }
    // At clock 0.5 and u = 0.025 (h = 1): the formula term by term.
    fresh.Update(16);
    const double t = 0.5;
    const double u = 0.025;
    ExpectVec(fresh.Points()[1], std::cos(0.1 * u + t) * std::sin(1.01 * u + t),
              std::cos(t + u) * std::cos(0.11 * u), std::cos(0.12 * u + t) * std::sin(0.9 * u + t), 1e-5f);

    {
        LineFX gone("gone");
        EXPECT_EQ(renderer.lineSets.size(), 3u);
    }
    EXPECT_EQ(renderer.lineSets.size(), 2u);

    SetRenderer(nullptr);
    StdoutCapture capture;
    LineFX unregistered("unregistered");
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"could not register line set"});
}

TEST_F(ActorTest, GreeterFadesEveryLineInHoldsAndOut)
{
    Greeter greeter("credits");
    EXPECT_EQ(greeter.Text().x, 640);
    EXPECT_EQ(greeter.Text().y, 540);
    EXPECT_EQ(greeter.Text().bigFont, 1);
    greeter.Update(100);  // inactive: nothing happens
    EXPECT_TRUE(renderer.texts.empty());
    EXPECT_EQ(Greeter::Lines().size(), 14u);

    {
        StdoutCapture capture;
        greeter.Trigger("activate");
        EXPECT_EQ(capture.Lines(), std::vector<std::string>{"reg text inst 0"});
    }
    EXPECT_STREQ(greeter.Text().text, "An VKO Dovez Production");
    EXPECT_EQ(renderer.texts.size(), 1u);

    greeter.Update(250);
    EXPECT_EQ(greeter.Text().colour, 0xFF000000u);
    greeter.Update(250);
    EXPECT_EQ(greeter.Text().colour, 0xFF7F7F7Fu);  // level 0.5: 127
    greeter.Update(250);                            // timer 0.5: switches to hold
    EXPECT_EQ(greeter.CurrentPhase(), Greeter::kHold);
    EXPECT_EQ(greeter.Text().colour, 0xFFFFFFFFu);

    // Hold 2 s, fade out 0.5 s, then the next line, centred at 20 pixels a character.
    while (greeter.LineIndex() == 0) {
        greeter.Update(500);
    }
    EXPECT_EQ(greeter.Text().colour, 0xFF000000u);
    EXPECT_STREQ(greeter.Text().text, Greeter::Lines()[1].c_str());
    const int length = static_cast<int>(Greeter::Lines()[1].size());
    EXPECT_EQ(greeter.Text().x, 960 - (length / 2) * 20);
    while (greeter.LineIndex() < 4) {
        greeter.Update(500);
    }
    EXPECT_STREQ(greeter.Text().text, "Greetings go out to");
    EXPECT_EQ(greeter.Text().x, 780);
    while (greeter.LineIndex() < 12) {
        greeter.Update(500);
    }
    EXPECT_EQ(greeter.Text().x, 960);  // the empty line

    StdoutCapture capture;
    while (greeter.Active()) {
        greeter.Update(500);
    }
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"rel text inst 0"});
    EXPECT_TRUE(renderer.texts.empty());
}

TEST_F(ActorTest, GreeterColourStaysInsideItsBytesWhenAFrameOverruns)
{
    Greeter greeter("credits");
    greeter.Trigger("activate");
    greeter.Update(600);  // 0 -> 0.6 in one update: phase unchanged
    EXPECT_EQ(greeter.CurrentPhase(), Greeter::kFadeIn);
    greeter.Update(16);   // level 1.2 is clamped; the phase switches
    EXPECT_EQ(greeter.Text().colour, 0xFFFFFFFFu);
    EXPECT_EQ(greeter.CurrentPhase(), Greeter::kHold);
    EXPECT_EQ(PackGrey(-0.4f), 0xFF000000u);
    EXPECT_EQ(PackGrey(1.2f), 0xFFFFFFFFu);
    EXPECT_EQ(PackGrey(0.2f), 0xFF333333u);
}
