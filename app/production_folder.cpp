#include "app/production_folder.h"

namespace fs = std::filesystem;

namespace {

bool HoldsScene(const fs::path& folder, const char* sceneFile)
{
    std::error_code error;
    return fs::is_regular_file(folder / sceneFile, error);
}

}  // namespace

fs::path InstalledProductionFor(const fs::path& executable)
{
    return (executable.parent_path() / kInstalledProduction).lexically_normal();
}

fs::path ChooseProduction(const fs::path& workingDir, const fs::path& executable, const char* sceneFile)
{
    if (HoldsScene(workingDir, sceneFile) || executable.empty()) {
        return {};
    }
    const fs::path installed = InstalledProductionFor(executable);
    return HoldsScene(installed, sceneFile) ? installed : fs::path();
}

fs::path RunningExecutable()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}
