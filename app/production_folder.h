#pragma once
// Which production plays when the command line names none: the working
// directory when it holds the scene file, otherwise the production installed
// with the player. The installed one is found from where the executable is
// (../share/demoplayer/production beside its bin/ folder), never from a path
// fixed at build time, so an installation that is moved keeps finding its own.

#include <filesystem>

// The installed production's place, relative to the executable's folder.
inline constexpr char kInstalledProduction[] = "../share/demoplayer/production";

// The production installed beside `executable` (a path to the executable file).
std::filesystem::path InstalledProductionFor(const std::filesystem::path& executable);

// The folder to play when none is named: empty to stay in `workingDir`
// (it holds `sceneFile`, or nothing better is installed), otherwise the
// installed production, when it holds `sceneFile`.
std::filesystem::path ChooseProduction(const std::filesystem::path& workingDir,
                                       const std::filesystem::path& executable, const char* sceneFile);

// The running executable, links resolved; empty when the system does not say.
std::filesystem::path RunningExecutable();
