#include "tests/e2e/test_production.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/tools/tool_process.h"
#include "tools/common/ogg_vorbis_writer.h"

namespace fs = std::filesystem;

namespace {

// Makes a file with one of our content tools; the test stops at a failure.
void RunContentTool(const char* tool, const std::vector<std::string>& arguments)
{
    const ToolRun run = RunTool(tool, arguments);
    if (run.exitCode != 0) {
        throw std::runtime_error(std::string(tool) + " failed: " + run.err);
    }
}

void WriteMusic(const fs::path& path, int seconds)
{
    // A chord with a pulse, loud enough to find in the output.
    constexpr int kRate = 44100;
    StereoSignal signal;
    for (int i = 0; i < seconds * kRate; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double pulse = 0.5 + 0.5 * std::sin(2 * M_PI * 2.0 * t);
        const double v = 0.3 * pulse * (std::sin(2 * M_PI * 220 * t) + 0.5 * std::sin(2 * M_PI * 330 * t));
        signal.left.push_back(static_cast<float>(v));
        signal.right.push_back(static_cast<float>(v * 0.9));
    }
    WriteOggVorbis(path, signal, kRate, 0.3f);
}

std::string Scene(const ProductionOptions& options)
{
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\"?>\n<base>\n  <scene>\n    <meshes>\n      <cube />\n";
    for (int i = 0; i < options.heavyMeshes; ++i) {
        xml << "      <heavy />\n";
    }
    xml << R"(    </meshes>
    <materials> <checker /> <plain /> </materials>
    <objects>
      <box1> <Position x="0" y="0" z="4" /> <Scale x="1.5" y="1.5" z="1.5" /> <Mesh name="cube" /> <Material name="checker" /> </box1>
      <box2> <Position x="-2" y="0" z="5" /> <Scale x="1" y="1" z="1" /> <Mesh name="cube" /> <Material name="plain" /> </box2>
      <floor> <Position x="0" y="-1.5" z="5" /> <Scale x="10" y="0.2" z="10" /> <Mesh name="cube" /> <Material name="plain" /> </floor>
    </objects>
    <lights>
      <lamp1> <Color x="1" y="0.9" z="0.8" /> <Position x="2" y="2" z="2" /> <Cutoff x="12" /> </lamp1>
      <lamp2> <Color x="0.3" y="0.4" z="1" /> <Position x="-2" y="1" z="3" /> <Cutoff x="8" /> </lamp2>
    </lights>
    <actors>
      <bounce classname="BassBouncer"> <child name="box1" /> <Scale x="1" y="0" z="0" /> </bounce>
      <flick classname="LightFlicker"> <child name="lamp2" /> </flick>
      <shatter classname="ObjectPulsator"> <child name="box2" /> <Params x="1" y="0" z="0" /> </shatter>
      <cam1 classname="Camera"> <Position x="0" y="0" z="0" /> </cam1>
      <curve classname="LineFX"> <Position x="0" y="1" z="6" /> <Scale x="2" y="1" z="1" /> </curve>
      <credits classname="Greeter" />
    </actors>
    <automations>
      <box1::Rotation> <key t="0" x="0" y="0" z="0" /> <key t="3" x="3" y="1" z="0" /> </box1::Rotation>
      <cam1::Position> <key t="0" x="0" y="0" z="0" /> <key t="3" x="0" y="0" z="1" /> </cam1::Position>
    </automations>
    <eventtrigger>
      <activate eventTime="0.5" target="cam1" />
      <destroy eventTime="0.8" />
      <restore eventTime="1.2" />
      <activate eventTime="1.5" target="credits" />
)";
    xml << "      <exit eventTime=\"" << options.exitTime << "\" />\n";
    xml << "    </eventtrigger>\n  </scene>\n</base>\n";
    return xml.str();
}

}  // namespace

void WriteTestProduction(const fs::path& directory, const ProductionOptions& options)
{
    fs::create_directories(directory / "model");
    fs::create_directories(directory / "tex");
    for (const auto& entry : fs::directory_iterator(DEMO_SHADER_DIR)) {
        fs::copy_file(entry.path(), directory / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    const std::string model = (directory / "model").string();
    const std::string tex = (directory / "tex").string();
    RunContentTool(MESHGEN, {"box", model + "/cube.obj", "--height", "1"});  // 36 vertices
    if (options.heavyMeshes > 0) {
        RunContentTool(MESHGEN, {"plane", model + "/heavy.obj", "--segments", "80"});  // 38,400 vertices
    }
    RunContentTool(TEXGEN, {"metal", tex + "/checker.bmp", "--width", "64", "--height", "64"});
    RunContentTool(TEXGEN, {"tiles", tex + "/plain.bmp", "--width", "32", "--height", "32"});
    fs::remove(tex + "/plain_normal.bmp");  // one material without a normal map
    if (options.music) {
        WriteMusic(directory / "13_3.ogg", options.musicSeconds);
    }
    std::ofstream(directory / "demofinal.xml") << Scene(options);
}
