#include "tools/common/command_line.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <sstream>

namespace {

std::string RangeText(double min, double max)
{
    std::ostringstream text;
    text << "between " << min << " and " << max;
    return text.str();
}

}  // namespace

std::string ParseCommandLine(int argc, const char* const* argv, const OptionNames& names,
                             CommandLine* out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.size() < 2 || argument[0] != '-') {
            out->positional.push_back(argument);
        } else if (names.flags.count(argument)) {
            out->flags.insert(argument);
        } else if (names.withValue.count(argument)) {
            if (i + 1 >= argc) {
                return "option " + argument + " needs a value";
            }
            out->values[argument] = argv[++i];
        } else {
            return "unknown option " + argument;
        }
    }
    return {};
}

std::string ReadFloatOption(const CommandLine& line, const std::string& name, double min,
                            double max, float* value)
{
    const auto found = line.values.find(name);
    if (found == line.values.end()) {
        return {};
    }
    const std::string& text = found->second;
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(parsed) ||
        parsed < min || parsed > max) {
        return name + " needs a number " + RangeText(min, max) + ", not '" + text + "'";
    }
    *value = static_cast<float>(parsed);
    return {};
}

std::string ReadIntOption(const CommandLine& line, const std::string& name, long min, long max,
                          int* value)
{
    const auto found = line.values.find(name);
    if (found == line.values.end()) {
        return {};
    }
    const std::string& text = found->second;
    long parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc{} || end != text.data() + text.size() || parsed < min || parsed > max) {
        return name + " needs a whole number between " + std::to_string(min) + " and " +
               std::to_string(max) + ", not '" + text + "'";
    }
    *value = static_cast<int>(parsed);
    return {};
}

int ReportError(const char* tool, const std::string& message, int exitCode)
{
    std::cerr << tool << ": " << message << "\n";
    return exitCode;
}
