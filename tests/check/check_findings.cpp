#include "tests/check/check_findings.h"

#include <sstream>

#include "check/production_check.h"
#include "tests/support/test_support.h"

std::vector<std::string> SceneFindings(const std::string& text, std::optional<double> musicSeconds)
{
    Diagnostics found;
    CheckSceneText("demofinal.xml", text, musicSeconds, found);
    std::ostringstream printed;
    found.Print(printed);
    std::vector<std::string> lines = SplitLines(printed.str());
    lines.pop_back();  // the summary
    return lines;
}
