#pragma once
// The file names of a PNG sequence: a pattern with one %d (or %05d and the
// like) in its file name, or a folder ending in '/'.

#include <string>

class PngNames {
public:
    // False, with the reason, when the pattern has no usable number in its
    // file name, more than one, or another '%' conversion.
    bool Parse(const std::string& pattern, std::string* error);

    // The file name of frame `number` (0 or more).
    std::string Name(int number) const;
    // The folder the files go to ("." for none).
    std::string Folder() const;

private:
    std::string prefix_;
    std::string suffix_;
    int width_ = 0;  // the least number of digits
    bool zeros_ = false;
};
