#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/process_state.h"
#include "tests/support/recording_renderer.h"
#include "tests/support/test_support.h"
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

class ActorTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetRenderer(&renderer);
        SetViewportSize(1920, 1080);
        SeedRandom(1234);
        BassBouncer::SetPulseLevel(1.0f);
        activeCamera = sceneCamera = nullptr;
    }
    void TearDown() override { SetRenderer(nullptr); }

    RecordingRenderer renderer;
};

// A registered mesh whose vertex v sits at (v, 10v, 100v).
Mesh* MakeMesh(const std::string& name, uint32_t vertices)
{
    auto* mesh = new Mesh;  // lives on in the registry, like loaded meshes
    mesh->AllocateArrays(vertices);
    for (uint32_t i = 0; i < 3 * vertices; ++i) {
        mesh->positions[i] = static_cast<float>(i / 3) * (i % 3 == 0 ? 1.0f : i % 3 == 1 ? 10.0f : 100.0f);
        mesh->normals[i] = 0.5f;
    }
    mesh->name = name;
    AddMesh(mesh);
    return mesh;
}

std::vector<float> Positions(const Mesh* mesh)
{
    return {mesh->positions, mesh->positions + 3 * mesh->vertexCount};
}

}  // namespace

TEST_F(ActorTest, BouncerThrobsOnTheBeatBetweenItsLevelsAndSpinsByItsOwnScale)
{
    BassBouncer bouncer("bouncer");
    entity_base box("box");
    box.Scale.Set(1, 2, 3);
    ASSERT_EQ(bouncer.AddEntity(&box), 0);
    int beats = 0;
    for (int frame = 0; frame < 200; ++frame) {  // 3.2 s: two beats
        const float before = BassBouncer::PulseLevel();
        bouncer.Update(16);
        const float level = BassBouncer::PulseLevel();
        beats += level > before;
        ASSERT_TRUE(level >= 0.79f && level <= 1.1f) << level;
        ExpectVec(box.Scale, level, 2 * level, 3 * level);
    }
    EXPECT_EQ(beats, 2);
    ExpectVec(box.Rotation, 0, 0, 0, 0);  // own Scale.x is 0: no spin
    // Own Scale.x 2, dt 10: rotation grows by (3.14, 1.5, -0.5) x 0.0001 x level x 10 x 2.
    bouncer.Scale.x = 2;
    bouncer.Update(10);
    ExpectVec(box.Rotation.Times(1 / (0.002f * BassBouncer::PulseLevel())), 3.14f, 1.5f, -0.5f, 1e-4f);
    // The level is shared: a second bouncer's beat raises it for the first.
    BassBouncer("other").Update(BassBouncer::kBeatMs);
    EXPECT_FLOAT_EQ(BassBouncer::PulseLevel(), 1.1f);
}

TEST_F(ActorTest, FlickerDimsItsLightsOnlyWhilePlayingAndNeverBeyondTheirBaseColour)
{
    LightFlicker flicker("flicker");
    Light lamp("lamp");
    lamp.Color.Set(1, 0.5f, 0.25f);
    entity_base box("box");
    EXPECT_EQ(flicker.AddEntity(&box), -1);  // lights only
    {
        StdoutCapture quiet;  // the base colour is logged; the loader test reads that line
        ASSERT_EQ(flicker.AddEntity(&lamp), 0);
    }
    flicker.Update(500);
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kSteady);  // inert until "play"
    flicker.Trigger("play");
    // Frames of every length, none included; from frame 300 on every new
    // state lasts no time at all: (-1 + 1) x its scale.
    const float frames[] = {16, 0, 3, 250, 0.5f, 40};
    std::set<float> levels;
    float darkMs = 0;
    for (int i = 0; i < 600; ++i) {
        if (i >= 300) {
            SeedRandom(0);
        }
        flicker.Update(frames[i % 6]);
        const Vec3& c = lamp.Color;
        ASSERT_TRUE(c.x >= 0 && c.x <= 1 && c.y == 0.5f * c.x && c.z == 0.25f * c.x) << i << ": " << c.x;
        levels.insert(c.x);
        darkMs += i < 300 && c.x == 0 ? frames[(i + 1) % 6] : 0;
    }
    EXPECT_TRUE(levels.count(1) && levels.size() > 10);  // steady and fading
    // Dark spells average 300 ms against 60 ms fades and 150 ms steady ones:
    // dark about half the time (43 % on this seed).
    EXPECT_GT(darkMs, 0.35f * 300 / 6 * (16 + 0 + 3 + 250 + 0.5f + 40)) << darkMs;
    // Pause and stop both put the base colour back and hold it; pause toggles.
    for (const char* event : {"pause", "stop"}) {
        flicker.Trigger("play");
        for (int i = 0; i < 1000 && lamp.Color.x == 1; ++i) {
            flicker.Update(5);
        }
        ASSERT_LT(lamp.Color.x, 1) << event;
        flicker.Trigger(event);
        flicker.Update(50);
        ExpectVec(lamp.Color, 1, 0.5f, 0.25f, 0);
    }
    flicker.Trigger("pause");
    EXPECT_TRUE(flicker.Enabled());
}

TEST_F(ActorTest, CameraLooksAlongItsYawAndPitchAndTakesTheViewWhenActivated)
{
    EngineCamera camera("cam");
    camera.MoveForward(2);
    ExpectVec(camera.Position, 0, 0, -2);
    camera.Rotation.Set(0.3f, 0.7f, 1.2f);  // roll is not used
    camera.Update(16);
    const Vec3 ahead = camera.GetDirection();
    ExpectVec(ahead, std::cos(0.3f) * std::sin(0.7f), -std::sin(0.3f), -std::cos(0.3f) * std::cos(0.7f));
    // The orientation turns the view direction onto -z.
    ExpectVec(TransformCoord(ahead, *camera.GetOrientation()), 0, 0, -1);
    camera.Trigger("activate");
    EXPECT_EQ(activeCamera, &camera);
}

TEST_F(ActorTest, PulsatorShattersACopyOnlyWhilePlayingAndRestoresOnlyWhatItsRegisteredSourceHas)
{
    Mesh* source = MakeMesh("shard", 7);  // two whole triangles; vertex 6 never moves
    entity_base box("shardbox");
    box.meshInstance = source;
    ASSERT_EQ(AddObject(&box), 0);
    ObjectPulsator pulsator("pulsator");
    entity_base bare("bare");
    {
        StdoutCapture capture;
        EXPECT_EQ(pulsator.AddEntity(&bare), -1);
        EXPECT_EQ(capture.Lines(), (std::vector<std::string>{"ObjectPulsator::AddEntity: Adding mesh bare to pulsator",
                                                             "ObjectPulsator::AddEntity: entity has no mesh"}));
        ASSERT_EQ(pulsator.AddEntity(&box), 0);
    }
    // A registered copy with every array is drawn in the source's place.
    Mesh* copy = box.meshInstance;
    EXPECT_EQ(FindMesh("shard_copy"), copy);
    EXPECT_EQ(TheWorld().FindRenderInstance(&box)->mesh, copy);
    EXPECT_EQ(copy->normals[20], 0.5f);
    const std::vector<float> rest = Positions(source);
    EXPECT_EQ(Positions(copy), rest);

    pulsator.Trigger("destroy");
    pulsator.Update(10);
    EXPECT_EQ(Positions(copy), rest);  // nothing moves until "play"
    pulsator.Trigger("play");
    pulsator.Trigger("pause");
    pulsator.Trigger("pause");  // pause toggles: playing again
    box.meshDirty = 0;
    std::vector<float> moves;  // how far the first triangle goes each frame
    for (int frame = 0; frame < 50; ++frame) {
        const Vec3 before{copy->positions[0], copy->positions[1], copy->positions[2]};
        pulsator.Update(16);
        const Vec3 step = Subtract(Vec3{copy->positions[0], copy->positions[1], copy->positions[2]}, before);
        moves.push_back(std::sqrt(Dot(step, step)));
    }
    EXPECT_EQ(box.meshDirty, 1);
    EXPECT_EQ(Positions(source), rest);
    EXPECT_LT(moves.back(), moves.front());  // the walk slows down
    // Triangles move whole: each corner by its first corner's offset.
    for (int i = 0; i < 21; ++i) {
        const int first = i < 18 ? i % 3 + i / 9 * 9 : i;
        EXPECT_NEAR(copy->positions[i] - rest[i], copy->positions[first] - rest[first], 1e-3f) << i;
    }
    EXPECT_EQ(copy->positions[18], rest[18]);

    // Restore pulls back within 1.5 s; a 200 ms step lands exactly.
    pulsator.Trigger("restore");
    for (int i = 0; i < 7; ++i) {
        pulsator.Update(200);
    }
    EXPECT_TRUE(pulsator.Restoring());
    pulsator.Update(100);
    EXPECT_FALSE(pulsator.Restoring());
    EXPECT_EQ(Positions(copy), rest);

    // "stop" freezes the copies after one 1 ms pull-back step.
    pulsator.Trigger("destroy");
    pulsator.Update(10);
    const float away = copy->positions[0];
    pulsator.Trigger("stop");
    pulsator.Update(10);
    EXPECT_NEAR(copy->positions[0], away * (1 - 0.005f), 1e-5f);
    // A damping of -1 zeroes the divisor at 1.25 s: nothing flies to infinity.
    pulsator.Params.x = -1;
    pulsator.Trigger("play");
    pulsator.Trigger("destroy");
    pulsator.Update(1250);
    for (float p : Positions(copy)) {
        ASSERT_TRUE(std::isfinite(p));
    }
    RemoveObject(&box);

    // A restore step needs a registered source and moves only the vertices both have.
    Mesh* pebble = MakeMesh("pebble", 3);
    Mesh* boulder = MakeMesh("boulder", 300);
    EXPECT_EQ(RestoreStep(pebble, 1), -1);  // not a copy
    std::unique_ptr<Mesh> shortCopy(CopyMesh(pebble));
    shortCopy->name = "boulder_copy";
    EXPECT_EQ(RestoreStep(shortCopy.get(), 200), 0);
    EXPECT_EQ(shortCopy->positions[8], boulder->positions[8]);
    std::unique_ptr<Mesh> longCopy(CopyMesh(boulder));
    longCopy->name = "pebble_copy";
    std::fill_n(longCopy->positions, 900, 5.0f);
    EXPECT_EQ(RestoreStep(longCopy.get(), 200), 0);
    EXPECT_EQ(longCopy->positions[8], pebble->positions[8]);
    EXPECT_EQ(longCopy->positions[9], 5.0f);  // beyond the source: untouched
    // A frame longer than 200 ms lands exactly too, rather than overshooting.
    std::fill_n(shortCopy->positions, 9, 5.0f);
    EXPECT_EQ(RestoreStep(shortCopy.get(), 500), 0);
    EXPECT_EQ(Positions(shortCopy.get()), std::vector<float>(boulder->positions, boulder->positions + 9));
}

TEST_F(ActorTest, LineEffectDrawsAConnectedCurveFillingItsScaleAroundItsPosition)
{
    {
        LineFX effect("curve");
        EXPECT_EQ(renderer.lineSets, std::vector<LineSet*>{const_cast<LineSet*>(&effect.Lines())});
        EXPECT_EQ(effect.Lines().count, 4000u);
        effect.Position.Set(1, 2, 3);
        effect.Scale.Set(2, 3, 4);
        effect.Update(500);
        const float before = effect.Lines().points[3];
        effect.Update(16);  // drawn at clock 0.5 s
        EXPECT_NE(effect.Lines().points[3], before);
        // What the renderer reads: segments end where the next one starts,
        // and the curve spans the scale on every axis around the position.
        const float* p = effect.Lines().points;
        Vec3 extent;
        for (int k = 0; k < LineFX::kPoints; ++k, p += 3) {
            extent.Set(std::max(extent.x, std::fabs(p[0] - 1)), std::max(extent.y, std::fabs(p[1] - 2)),
                       std::max(extent.z, std::fabs(p[2] - 3)));
            ASSERT_TRUE(k % 2 == 0 || k + 1 == LineFX::kPoints || (p[0] == p[3] && p[2] == p[5])) << k;
        }
        EXPECT_TRUE(extent.x <= 2 && extent.y <= 3 && extent.z <= 4) << extent;
        EXPECT_TRUE(extent.x > 1.8f && extent.y > 2.7f && extent.z > 3.6f) << extent;
    }
    EXPECT_TRUE(renderer.lineSets.empty());
    SetRenderer(nullptr);
    StdoutCapture capture;
    LineFX unregistered("unregistered");
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"could not register line set"});
}

TEST_F(ActorTest, GreeterFadesEveryLineInAndOutAndLeavesTheScreenAfterTheLast)
{
    Greeter greeter("credits");
    greeter.Update(100);  // inert until "activate"
    {
        StdoutCapture capture;
        greeter.Trigger("activate");
        EXPECT_EQ(capture.Lines(), std::vector<std::string>{"reg text inst 0"});
    }
    EXPECT_EQ(renderer.texts.size(), 1u);
    EXPECT_EQ(greeter.Text().x, 640);
    // 16 ms frames: each line starts black, rises through the greys to white,
    // holds and falls; the next is centred at 20 pixels a character.
    std::vector<std::string> shown;
    std::set<uint32_t> colours;
    int frames = 0;
    StdoutCapture capture;
    for (; greeter.Active() && frames < 10000; ++frames) {
        greeter.Update(16);
        const uint32_t c = greeter.Text().colour;
        ASSERT_TRUE(c >> 24 == 0xFF && (c & 0xFF) == (c >> 8 & 0xFF) && (c & 0xFF) == (c >> 16 & 0xFF)) << c;
        colours.insert(c);
        const std::string text = greeter.Text().text;
        if (greeter.Active() && (shown.empty() || shown.back() != text)) {
            EXPECT_EQ(c, 0xFF000000u) << text;
            EXPECT_TRUE(shown.empty() || greeter.Text().x == 960 - static_cast<int>(text.size() / 2) * 20) << text;
            shown.push_back(text);
        }
    }
    EXPECT_EQ(shown, Greeter::Lines());
    EXPECT_TRUE(colours.count(0xFFFFFFFFu) && colours.size() > 30);
    // 0.5 s in, 2 s held, 0.5 s out; each phase may end up to two frames late.
    EXPECT_GE(frames * 0.016, 14 * 3.0);
    EXPECT_LE(frames * 0.016, 14 * (3.0 + 3 * 2 * 0.016));
    EXPECT_EQ(capture.Lines(), std::vector<std::string>{"rel text inst 0"});
    EXPECT_TRUE(renderer.texts.empty());
    // A frame that overruns the fade-in clamps the grey to white.
    {
        StdoutCapture quiet;
        greeter.Trigger("activate");
    }
    greeter.Update(600);
    greeter.Update(16);
    EXPECT_EQ(greeter.Text().colour, 0xFFFFFFFFu);
    EXPECT_EQ(PackGrey(-0.4f), 0xFF000000u);

    // Destroyed while its text is registered (twice: "activate" again during
    // the sequence), it takes the text off the renderer.
    {
        Greeter doubled("doubled");
        doubled.Trigger("activate");
        doubled.Trigger("activate");
        Greeter idle("idle");
    }
    EXPECT_EQ(renderer.texts, std::vector<TextInstance*>{const_cast<TextInstance*>(&greeter.Text())});
}
