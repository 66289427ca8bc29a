#include "check/diagnostics.h"

#include <algorithm>

void Diagnostics::Error(const std::string& file, TextPosition where, std::string message)
{
    found_.push_back({file, where, Severity::kError, std::move(message)});
}

void Diagnostics::Warning(const std::string& file, TextPosition where, std::string message)
{
    found_.push_back({file, where, Severity::kWarning, std::move(message)});
}

int Diagnostics::ErrorCount() const
{
    return static_cast<int>(std::count_if(found_.begin(), found_.end(),
                                          [](const Diagnostic& d) { return d.severity == Severity::kError; }));
}

int Diagnostics::WarningCount() const
{
    return static_cast<int>(found_.size()) - ErrorCount();
}

std::vector<Diagnostic> Diagnostics::Ordered() const
{
    // Findings of one file stay together, files in the order first met (the
    // one put first, first); a file's placed findings are ordered by place.
    std::vector<std::string> files;
    if (!firstFile_.empty()) {
        files.push_back(firstFile_);
    }
    for (const Diagnostic& d : found_) {
        if (std::find(files.begin(), files.end(), d.file) == files.end()) {
            files.push_back(d.file);
        }
    }
    std::vector<Diagnostic> ordered = found_;
    std::stable_sort(ordered.begin(), ordered.end(), [&files](const Diagnostic& a, const Diagnostic& b) {
        const auto fileA = std::find(files.begin(), files.end(), a.file);
        const auto fileB = std::find(files.begin(), files.end(), b.file);
        if (fileA != fileB) {
            return fileA < fileB;
        }
        return a.where.line != b.where.line ? a.where.line < b.where.line : a.where.column < b.where.column;
    });
    return ordered;
}

void Diagnostics::Print(std::ostream& out) const
{
    for (const Diagnostic& d : Ordered()) {
        out << FormatDiagnostic(d) << "\n";
    }
    out << SummaryLine(ErrorCount(), WarningCount()) << "\n";
}

std::string FormatDiagnostic(const Diagnostic& diagnostic)
{
    // Appended piece by piece: a chain of temporaries joined with + makes
    // GCC 12 warn falsely (-Wrestrict) once it inlines them at -O3.
    std::string text = diagnostic.file;
    if (diagnostic.where.line > 0) {
        text.append(":").append(std::to_string(diagnostic.where.line));
        text.append(":").append(std::to_string(diagnostic.where.column));
    }
    text.append(diagnostic.severity == Severity::kError ? ": error: " : ": warning: ");
    text.append(diagnostic.message);
    return text;
}

namespace {

std::string Count(int n, const char* what)
{
    if (n == 0) {
        return std::string("no ") + what + "s";
    }
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

std::string SummaryLine(int errors, int warnings)
{
    return Count(errors, "error") + ", " + Count(warnings, "warning");
}
