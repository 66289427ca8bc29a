// Scene description reading on one generated document of about 10 MB: the
// player's reader, which builds its tree and destroys it inside the timed
// loop as well, since a loader pays for both; and the checker's located
// reading of the same bytes. The element count is reported so that a change
// can be seen to build a tree of the same size.

#include <benchmark/benchmark.h>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>

#include "check/marked_markup.h"
#include "core/log.h"
#include "scene/xml_reader.h"

namespace {

// A small deterministic generator, so that every run parses the same text.
class Lcg {
public:
    uint32_t Next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state_ >> 33);
    }
    // A coordinate with at most two decimals, such as "-12.25" or "3".
    std::string Number()
    {
        const int hundredths = static_cast<int>(Next() % 20001) - 10000;
        char text[32];
        auto [end, error] = std::to_chars(text, text + sizeof text, hundredths / 100.0);
        (void)error;
        return std::string(text, end);
    }

private:
    uint64_t state_ = 0x5eed;
};

std::string Indent(int depth)
{
    return std::string(2 * static_cast<size_t>(depth), ' ');
}

void AppendVec3(std::string& xml, int depth, const char* tag, Lcg& rng)
{
    xml += Indent(depth) + "<" + tag + " x=\"" + rng.Number() + "\" y=\"" + rng.Number() +
           "\" z=\"" + rng.Number() + "\" />\n";
}

// One empty element per item: "<cube12 />".
void AppendNameList(std::string& xml, const char* section, const char* prefix, int count)
{
    xml += Indent(2) + "<" + section + ">\n";
    for (int i = 0; i < count; ++i) {
        xml += Indent(3) + "<" + prefix + std::to_string(i) + " />\n";
    }
    xml += Indent(2) + "</" + section + ">\n";
}

void AppendObjects(std::string& xml, int count, Lcg& rng)
{
    xml += Indent(2) + "<objects>\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = "crate" + std::to_string(i);
        xml += Indent(3) + "<" + name + " mesh=\"cube" + std::to_string(rng.Next() % 200) +
               "\" material=\"metal" + std::to_string(rng.Next() % 100) + "\">\n";
        AppendVec3(xml, 4, "Position", rng);
        AppendVec3(xml, 4, "Scale", rng);
        AppendVec3(xml, 4, "Rotation", rng);
        xml += Indent(3) + "</" + name + ">\n";
    }
    xml += Indent(2) + "</objects>\n";
}

void AppendLights(std::string& xml, int count, Lcg& rng)
{
    xml += Indent(2) + "<lights>\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = "light" + std::to_string(i);
        xml += Indent(3) + "<" + name + " cutoff=\"" + rng.Number() + "\">\n";
        AppendVec3(xml, 4, "Position", rng);
        AppendVec3(xml, 4, "Colour", rng);
        xml += Indent(3) + "</" + name + ">\n";
    }
    xml += Indent(2) + "</lights>\n";
}

void AppendActors(std::string& xml, int count, Lcg& rng)
{
    xml += Indent(2) + "<actors>\n";
    for (int i = 0; i < count; ++i) {
        xml += Indent(3) + "<actor" + std::to_string(i) + " object=\"crate" +
               std::to_string(rng.Next() % 1000) + "\" speed=\"" + rng.Number() + "\" />\n";
    }
    xml += Indent(2) + "</actors>\n";
}

// Each automation animates one object property through keyCount keys.
void AppendAutomations(std::string& xml, int count, int keyCount, Lcg& rng)
{
    xml += Indent(2) + "<automations>\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = "move" + std::to_string(i);
        xml += Indent(3) + "<" + name + " target=\"crate" + std::to_string(rng.Next() % 1000) +
               "\" property=\"Position\">\n";
        for (int k = 0; k < keyCount; ++k) {
            xml += Indent(4) + "<key time=\"" + std::to_string(k) + ".5\" x=\"" + rng.Number() +
                   "\" y=\"" + rng.Number() + "\" z=\"" + rng.Number() + "\" />\n";
        }
        xml += Indent(3) + "</" + name + ">\n";
    }
    xml += Indent(2) + "</automations>\n";
}

void AppendEvents(std::string& xml, int count, Lcg& rng)
{
    xml += Indent(2) + "<eventtrigger>\n";
    for (int i = 0; i < count; ++i) {
        xml += Indent(3) + "<event" + std::to_string(i) + " time=\"" + std::to_string(i) +
               ".25\" action=\"show\" target=\"crate" + std::to_string(rng.Next() % 1000) +
               "\" />\n";
    }
    xml += Indent(2) + "</eventtrigger>\n";
}

// About 10 MB; most of it is object transforms and automation keys.
std::string MakeSceneXml()
{
    Lcg rng;
    std::string xml;
    xml.reserve(11 << 20);
    xml += "<?xml version=\"1.0\"?>\n<base>\n" + Indent(1) + "<scene>\n";
    AppendNameList(xml, "meshes", "cube", 200);
    AppendNameList(xml, "materials", "metal", 100);
    AppendObjects(xml, 20000, rng);
    AppendLights(xml, 64, rng);
    AppendActors(xml, 5000, rng);
    AppendAutomations(xml, 2500, 32, rng);
    AppendEvents(xml, 5000, rng);
    xml += Indent(1) + "</scene>\n</base>\n";
    return xml;
}

const std::string& SceneXml()
{
    static const std::string xml = MakeSceneXml();
    return xml;
}

size_t CountNodes(const XMLTag* tag)
{
    size_t count = 1;
    if (tag->isExtended) {
        for (const XMLTag* child : static_cast<const XMLTagExtended*>(tag)->children) {
            count += CountNodes(child);
        }
    }
    return count;
}

void BM_XMLReaderParse(benchmark::State& state)
{
    const std::string& xml = SceneXml();
    for (auto _ : state) {
        XMLReader reader;
        reader.Parse(xml.data(), xml.size());
        benchmark::DoNotOptimize(reader.root);
    }
    XMLReader reader;
    reader.Parse(xml.data(), xml.size());
    state.counters["nodes"] = static_cast<double>(reader.root ? CountNodes(reader.root) : 0);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_XMLReaderParse)->Unit(benchmark::kMillisecond);

void BM_CheckerReading(benchmark::State& state)
{
    const std::string& xml = SceneXml();
    for (auto _ : state) {
        Diagnostics found;
        const MarkedDocument document = ReadMarkedMarkup(xml, "bench.xml", found);
        benchmark::DoNotOptimize(document.root);
    }
    Diagnostics found;
    state.counters["nodes"] = static_cast<double>(ReadMarkedMarkup(xml, "bench.xml", found).elements.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_CheckerReading)->Unit(benchmark::kMillisecond);

}  // namespace

// The release lines go where a log file would take them, not to the terminal.
int main(int argc, char** argv)
{
    std::FILE* discard = std::fopen("/dev/null", "w");
    SetLogSink(discard);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetLogSink(nullptr);
    if (discard) {
        std::fclose(discard);
    }
    return 0;
}
