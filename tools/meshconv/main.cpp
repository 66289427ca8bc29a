// meshconv: converts a model in any format the asset import library reads
// into the player's model file.

#include <iostream>

#include "tools/common/command_line.h"
#include "tools/common/mesh_writer.h"
#include "tools/meshconv/model_import.h"

namespace {

constexpr const char* kTool = "meshconv";

constexpr const char* kUsage =
    "usage: meshconv [--scale S] [--flip-uv] INPUT OUTPUT\n"
    "\n"
    "Converts a model (OBJ, PLY, glTF, FBX, 3DS, ... anything the asset import\n"
    "library reads) into a model file for the player: one triangle list with\n"
    "position, texture coordinate, normal, tangent and binormal per vertex.\n"
    "Missing normals are generated smoothed across faces.\n"
    "\n"
    "  --scale S   multiply every position by S (greater than 0, default 1)\n"
    "  --flip-uv   v becomes 1 - v (for files whose v = 0 is the texture's bottom row)\n"
    "  --help      print this text\n";

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    const OptionNames names{{"--scale"}, {"--flip-uv", "--help"}};
    if (std::string problem = ParseCommandLine(argc, argv, names, &line); !problem.empty()) {
        return ReportError(kTool, problem + "\n" + kUsage, kExitUsage);
    }
    if (line.Has("--help")) {
        std::cout << kUsage;
        return 0;
    }
    if (line.positional.size() != 2) {
        return ReportError(kTool, std::string("expected an input and an output path\n") + kUsage,
                           kExitUsage);
    }
    ImportOptions options;
    options.flipV = line.Has("--flip-uv");
    if (std::string problem = ReadFloatOption(line, "--scale", 1e-6, 1e6, &options.scale);
        !problem.empty()) {
        return ReportError(kTool, problem, kExitUsage);
    }

    const ImportedModel model = ImportModel(line.positional[0], options);
    if (!model.error.empty()) {
        return ReportError(kTool, model.error, kExitFailure);
    }
    if (std::string problem = WriteModelFile(line.positional[1], model.triangles);
        !problem.empty()) {
        return ReportError(kTool, problem, kExitFailure);
    }
    std::cout << kTool << ": wrote " << model.triangles.size() / 3 << " triangles ("
              << model.triangles.size() << " vertices) to " << line.positional[1] << "\n";
    return 0;
}
