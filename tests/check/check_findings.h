#pragma once
// What the checker says about a scene text, one formatted finding a line,
// without the summary line.

#include <optional>
#include <string>
#include <vector>

std::vector<std::string> SceneFindings(const std::string& text, std::optional<double> musicSeconds = std::nullopt);
