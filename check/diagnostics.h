#pragma once
// The checker's findings: each one an error (the show differs from what the
// author wrote) or a warning (legal, but probably not meant), with the file
// and, where it has one, the place in it. Printed in the form compilers use,
// so that editors can jump to each.

#include <ostream>
#include <string>
#include <vector>

struct TextPosition {
    int line = 0;    // from 1; 0: the finding concerns the file as a whole
    int column = 0;  // from 1, in bytes
};

enum class Severity { kError, kWarning };

struct Diagnostic {
    std::string file;
    TextPosition where;
    Severity severity = Severity::kError;
    std::string message;
};

class Diagnostics {
public:
    void Error(const std::string& file, TextPosition where, std::string message);
    void Warning(const std::string& file, TextPosition where, std::string message);

    // Prints this file's findings before those of the files met earlier.
    void PutFirst(const std::string& file) { firstFile_ = file; }

    int ErrorCount() const;
    int WarningCount() const;
    const std::vector<Diagnostic>& All() const { return found_; }

    // The findings in the order they are printed: the file put first, then
    // the others in the order they were met, each file's by position.
    std::vector<Diagnostic> Ordered() const;
    // Each finding on its line, in that order; then the summary line.
    void Print(std::ostream& out) const;

private:
    std::vector<Diagnostic> found_;
    std::string firstFile_;
};

// "FILE:LINE:COLUMN: error: MESSAGE" (or "FILE: warning: MESSAGE" without a place).
std::string FormatDiagnostic(const Diagnostic& diagnostic);
// "2 errors, 1 warning" / "no errors, no warnings".
std::string SummaryLine(int errors, int warnings);
