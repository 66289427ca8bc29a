#pragma once
// What the checker says about a scene text, one formatted finding a line,
// without the summary line.

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "check/production_check.h"
#include "tests/support/test_support.h"

inline std::vector<std::string> SceneFindings(const std::string& text, std::optional<double> musicSeconds = std::nullopt)
{
    Diagnostics found;
    CheckSceneText("demofinal.xml", text, musicSeconds, found);
    std::ostringstream printed;
    found.Print(printed);
    std::vector<std::string> lines = SplitLines(printed.str());
    lines.pop_back();  // the summary
    return lines;
}
