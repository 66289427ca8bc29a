#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>

#include "tests/support/recording_renderer.h"
#include "tests/support/test_support.h"
#include "world/bass_bouncer.h"
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
        show.viewportWidth = 1920;
        show.viewportHeight = 1080;
        TheWorld().AttachShowState(&show);
        SeedRandom(1234);
        BassBouncer::SetPulseLevel(1.0f);
    }
    void TearDown() override
    {
        TheWorld().AttachShowState(nullptr);
        SetRenderer(nullptr);
    }

    RecordingRenderer renderer;
    ShowState show;
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

TEST_F(ActorTest, BouncerThrobsOnTheBeatBetweenItsLevels)
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
}

TEST_F(ActorTest, FlickerDimsItsLightsOnlyWhilePlayingAndNeverBeyondTheirBaseColour)
{
    LightFlicker flicker("flicker");
    Light lamp("lamp");
    lamp.Color.Set(1, 0.5f, 0.25f);
    Light stuck("stuck");
    stuck.Color.Set(0.5f, 1, 1);
    entity_base box("box");
    EXPECT_EQ(flicker.AddEntity(&box), -1);  // lights only
    {
        StdoutCapture quiet;  // the base colour is logged; the loader test reads that line
        ASSERT_EQ(flicker.AddEntity(&lamp), 0);
        // A light whose random sequence gives only -1: each of its states
        // lasts no time at all, (-1 + 1) x its scale.
        SeedRandom(0);
        ASSERT_EQ(flicker.AddEntity(&stuck), 0);
    }
    flicker.Update(500);
    EXPECT_EQ(flicker.Entries()[0].state, LightFlicker::kSteady);  // inert until "play"
    flicker.Trigger("play");
    // Frames of every length, none included, one passing many states. The
    // flicker itself is pinned by the golden frames, its timing by the show
    // timing test.
    const float frames[] = {16, 0, 3, 250, 0.5f, 40, 5000};
    bool fadedIn = false;
    for (int i = 0; i < 700; ++i) {
        const float before = lamp.Color.x;
        flicker.Update(frames[i % 7]);
        const Vec3& c = lamp.Color;
        ASSERT_TRUE(c.x >= 0 && c.x <= 1 && c.y == 0.5f * c.x && c.z == 0.25f * c.x) << i << ": " << c.x;
        ASSERT_TRUE(stuck.Color.x == 0 || stuck.Color.x == 0.5f) << i;
        // Fading in, a lamp brightens with the time the state has run.
        const LightFlicker::Entry& entry = flicker.Entries()[0];
        if (entry.state == LightFlicker::kFadingIn && frames[i % 7] > 0 && entry.timerMs > frames[i % 7]) {
            ASSERT_GT(c.x, before) << i;
            EXPECT_NEAR(c.x, entry.timerMs / entry.durationMs, 1e-5f);
            fadedIn = true;
        }
    }
    EXPECT_TRUE(fadedIn);
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

TEST_F(ActorTest, PulsatorShattersACopyOnlyWhilePlayingAndRestoresOnlyWhatItsRegisteredSourceHas)
{
    Mesh* source = MakeMesh("shard", 7);
    entity_base box("shardbox");
    box.meshInstance = source;
    ASSERT_EQ(AddObject(&box), 0);
    ObjectPulsator pulsator("pulsator");
    entity_base bare("bare");
    {
        StdoutCapture quiet;
        EXPECT_EQ(pulsator.AddEntity(&bare), -1);  // no mesh
        ASSERT_EQ(pulsator.AddEntity(&box), 0);
    }
    // A registered copy is drawn in the source's place.
    Mesh* copy = box.meshInstance;
    EXPECT_EQ(TheWorld().FindRenderInstance(&box)->mesh, copy);
    const std::vector<float> rest = Positions(source);
    EXPECT_EQ(Positions(copy), rest);

    pulsator.Trigger("destroy");
    pulsator.Trigger("play");
    box.meshDirty = 0;
    for (int frame = 0; frame < 50; ++frame) {
        pulsator.Update(16);
    }
    EXPECT_EQ(box.meshDirty, 1);
    EXPECT_NE(Positions(copy), rest);
    EXPECT_EQ(Positions(source), rest);

    // Restore pulls back within 1.5 s; a 200 ms step lands exactly.
    pulsator.Trigger("restore");
    for (int i = 0; i < 7; ++i) {
        pulsator.Update(200);
    }
    EXPECT_TRUE(pulsator.Restoring());
    pulsator.Update(100);
    EXPECT_FALSE(pulsator.Restoring());
    EXPECT_EQ(Positions(copy), rest);

    // A damping of -1 zeroes the divisor at 1.25 s: nothing flies to infinity.
    pulsator.Params.x = -1;
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
}

// The curve itself is pinned by the golden frames.
TEST_F(ActorTest, LineEffectRegistersItsLinesForItsLifetime)
{
    {
        LineFX effect("curve");
        EXPECT_EQ(renderer.lineSets, std::vector<LineSet*>{const_cast<LineSet*>(&effect.Lines())});
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
        StdoutCapture quiet;
        greeter.Trigger("activate");
    }
    EXPECT_EQ(renderer.texts.size(), 1u);
    // 16 ms frames: each line starts near black, rises through the greys to
    // white and falls back; its three phases last 3 s exactly, the time past
    // the end of one carried into the next.
    std::vector<std::string> shown;
    int frames = 0;
    uint32_t grey = 0;
    int risen = 0;
    int fallen = 0;
    auto capture = std::make_unique<StdoutCapture>();  // the lines' log, not checked here
    for (; greeter.Active() && frames < 10000; ++frames) {
        greeter.Update(16);
        const uint32_t c = greeter.Text().colour;
        ASSERT_TRUE(c >> 24 == 0xFF && (c & 0xFF) == (c >> 8 & 0xFF) && (c & 0xFF) == (c >> 16 & 0xFF)) << c;
        const uint32_t before = std::exchange(grey, c & 0xFF);
        const std::string text = greeter.Text().text;
        const bool newLine = shown.empty() || shown.back() != text;
        if (greeter.Active() && !newLine && greeter.CurrentPhase() != Greeter::kHold) {
            const bool fadingIn = greeter.CurrentPhase() == Greeter::kFadeIn;
            ASSERT_TRUE(fadingIn ? grey > before : grey < before) << text << " " << before << " " << grey;
            (fadingIn ? risen : fallen) += 1;
        }
        if (greeter.Active() && newLine) {
            EXPECT_LE(c & 0xFF, 2 * 16 * 255 / 1000u) << text;
            EXPECT_EQ(greeter.CurrentPhase(), Greeter::kFadeIn);
            EXPECT_LE(greeter.TimerSeconds(), 0.016f + 1e-6f) << text;
            shown.push_back(text);
        }
    }
    EXPECT_NEAR(frames, 14 * 3000 / 16, 1);
    EXPECT_GT(risen, 14 * 25);
    EXPECT_GT(fallen, 14 * 25);
    capture.reset();
    EXPECT_EQ(shown, Greeter::Lines());
    EXPECT_TRUE(renderer.texts.empty());

    // Destroyed while its text is registered (twice: "activate" again during
    // the sequence), it takes the text off the renderer.
    {
        StdoutCapture quiet;
        greeter.Trigger("activate");
        Greeter doubled("doubled");
        doubled.Trigger("activate");
        doubled.Trigger("activate");
        Greeter idle("idle");
    }
    EXPECT_EQ(renderer.texts, std::vector<TextInstance*>{const_cast<TextInstance*>(&greeter.Text())});
}
