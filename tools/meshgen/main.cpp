// meshgen: writes procedural models (ground plane, pillars, torus knot,
// spheres) as model files for the player.

#include <iostream>
#include <sstream>

#include "tools/common/command_line.h"
#include "tools/common/mesh_writer.h"
#include "tools/meshgen/shape_catalog.h"

namespace {

constexpr const char* kTool = "meshgen";

std::string Usage()
{
    std::ostringstream text;
    text << "usage: meshgen KIND OUTPUT [--option value ...]\n\n"
         << "Writes a procedural model file for the player. Kinds and their options:\n";
    for (const ShapeKind& kind : ShapeCatalog()) {
        text << "\n  " << kind.name << ": " << kind.summary << "\n";
        for (const ShapeParameter& p : kind.parameters) {
            text << "    " << p.option << " (" << p.value << ")  " << p.help << "\n";
        }
    }
    return text.str();
}

OptionNames AllOptionNames()
{
    OptionNames names{{}, {"--help"}};
    for (const ShapeKind& kind : ShapeCatalog()) {
        for (const ShapeParameter& p : kind.parameters) {
            names.withValue.insert(p.option);
        }
    }
    return names;
}

// The kind's parameters, defaults replaced by the options given; empty
// problem on success.
std::string ReadShapeValues(const ShapeKind& kind, const CommandLine& line, ShapeValues* values)
{
    for (const auto& [option, text] : line.values) {
        bool known = false;
        for (const ShapeParameter& p : kind.parameters) {
            known = known || p.option == option;
        }
        if (!known) {
            return option + " does not apply to " + kind.name;
        }
    }
    for (const ShapeParameter& p : kind.parameters) {
        std::string problem;
        if (p.whole) {
            int count = static_cast<int>(p.value);
            problem = ReadIntOption(line, p.option, static_cast<long>(p.min),
                                    static_cast<long>(p.max), &count);
            (*values)[p.option] = static_cast<float>(count);
        } else {
            float value = p.value;
            problem = ReadFloatOption(line, p.option, p.min, p.max, &value);
            (*values)[p.option] = value;
        }
        if (!problem.empty()) {
            return problem;
        }
    }
    return kind.check(*values);
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    if (std::string problem = ParseCommandLine(argc, argv, AllOptionNames(), &line);
        !problem.empty()) {
        return ReportError(kTool, problem + " (meshgen --help lists the options)", kExitUsage);
    }
    if (line.Has("--help")) {
        std::cout << Usage();
        return 0;
    }
    if (line.positional.size() != 2) {
        return ReportError(kTool, "expected a kind and an output path\n" + Usage(), kExitUsage);
    }
    const ShapeKind* kind = FindShapeKind(line.positional[0]);
    if (!kind) {
        return ReportError(kTool, "unknown kind '" + line.positional[0] + "'\n" + Usage(),
                           kExitUsage);
    }
    ShapeValues values;
    if (std::string problem = ReadShapeValues(*kind, line, &values); !problem.empty()) {
        return ReportError(kTool, problem, kExitUsage);
    }
    const std::vector<MeshVertex> triangles = ExpandTriangles(kind->build(values));
    if (std::string problem = WriteModelFile(line.positional[1], triangles); !problem.empty()) {
        return ReportError(kTool, problem, kExitFailure);
    }
    std::cout << kTool << ": wrote " << kind->name << " with " << triangles.size() / 3
              << " triangles to " << line.positional[1] << "\n";
    return 0;
}
