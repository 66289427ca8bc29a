#include "tests/e2e/test_production.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/common/ogg_vorbis_writer.h"

namespace fs = std::filesystem;

namespace {

void PutFloats(std::ofstream& out, std::initializer_list<float> values)
{
    for (float value : values) {
        out.write(reinterpret_cast<const char*>(&value), sizeof value);
    }
}

void PutU32(std::ofstream& out, uint32_t value)
{
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

// A cube of `copies` x 36 vertices (copies stacked at the same place).
void WriteCube(const fs::path& path, int copies)
{
    std::ofstream out(path, std::ios::binary);
    PutU32(out, static_cast<uint32_t>(36 * copies));
    PutU32(out, 0x1337);
    const float faces[6][9] = {
        {0, 0, -1, 1, 0, 0, 0, -1, 0}, {0, 0, 1, -1, 0, 0, 0, -1, 0}, {1, 0, 0, 0, 0, 1, 0, -1, 0},
        {-1, 0, 0, 0, 0, -1, 0, -1, 0}, {0, 1, 0, 1, 0, 0, 0, 0, 1},  {0, -1, 0, 1, 0, 0, 0, 0, -1},
    };
    const float corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (int copy = 0; copy < copies; ++copy) {
        for (const auto& f : faces) {
            for (const auto& c : corners) {
                float p[3];
                for (int i = 0; i < 3; ++i) {
                    p[i] = f[i] * 0.5f + f[3 + i] * c[0] * 0.5f + f[6 + i] * c[1] * 0.5f;
                }
                PutFloats(out, {p[0], p[1], p[2], c[0] * 0.5f + 0.5f, c[1] * 0.5f + 0.5f, f[0], f[1], f[2],
                                f[3], f[4], f[5], f[6], f[7], f[8]});
            }
        }
    }
}

// A 24-bit bitmap of a checker pattern (or flat normals).
void WriteBitmap(const fs::path& path, int size, bool normals)
{
    const uint32_t imageSize = static_cast<uint32_t>(size * size * 3);
    std::ofstream out(path, std::ios::binary);
    out.write("BM", 2);
    PutU32(out, 54 + imageSize);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(size));
    PutU32(out, static_cast<uint32_t>(size));
    const uint16_t planesAndBits[2] = {1, 24};
    out.write(reinterpret_cast<const char*>(planesAndBits), 4);
    PutU32(out, 0);
    PutU32(out, imageSize);
    for (int i = 0; i < 4; ++i) {
        PutU32(out, 0);
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool light = ((x / 8) + (y / 8)) % 2 == 0;
            const unsigned char bgr[3] = {
                static_cast<unsigned char>(normals ? 255 : light ? 200 : 60),
                static_cast<unsigned char>(normals ? 127 : light ? 190 : 70),
                static_cast<unsigned char>(normals ? 127 : light ? 180 : 90)};
            out.write(reinterpret_cast<const char*>(bgr), 3);
        }
    }
}

void WriteMusic(const fs::path& path)
{
    // Four seconds of a chord with a pulse, loud enough to find in the output.
    constexpr int kRate = 44100;
    StereoSignal signal;
    for (int i = 0; i < 4 * kRate; ++i) {
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
    WriteCube(directory / "model" / "cube.obj", 1);
    if (options.heavyMeshes > 0) {
        WriteCube(directory / "model" / "heavy.obj", 1000);  // 36,000 vertices
    }
    WriteBitmap(directory / "tex" / "checker.bmp", 64, false);
    WriteBitmap(directory / "tex" / "checker_normal.bmp", 64, true);
    WriteBitmap(directory / "tex" / "plain.bmp", 32, false);
    if (options.music) {
        WriteMusic(directory / "13_3.ogg");
    }
    std::ofstream(directory / "demofinal.xml") << Scene(options);
}
