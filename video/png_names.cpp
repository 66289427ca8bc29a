// Parses a PNG sequence's name pattern and names its frames.
#include "video/png_names.h"

#include <cctype>

#include "core/failure.h"
#include "video/frame_sink.h"

namespace {

constexpr int kMostDigits = 10;

// The length of a number conversion ("%d", "%05d", "%3d") at `at`, or 0.
size_t ConversionLength(const std::string& text, size_t at)
{
    size_t end = at + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    if (end < text.size() && text[end] == 'd' && end - at <= 3) {
        return end - at + 1;
    }
    return 0;
}

}  // namespace

bool IsPngSequencePath(const std::string& path)
{
    if (!path.empty() && path.back() == '/') {
        return true;
    }
    for (size_t at = path.find('%'); at != std::string::npos; at = path.find('%', at + 1)) {
        if (ConversionLength(path, at) > 0) {
            return true;
        }
    }
    return false;
}

bool PngNames::Parse(const std::string& pattern, std::string* error)
{
    size_t at = pattern.find('%');
    if (at == std::string::npos) {
        if (pattern.empty() || pattern.back() != '/') {
            return Fail(error, "PNG pattern '" + pattern + "' has neither a %d nor a final '/'");
        }
        prefix_ = pattern + "frame_";
        suffix_ = ".png";
        width_ = 5;
        zeros_ = true;
        return true;
    }
    size_t length = ConversionLength(pattern, at);
    if (length == 0 || pattern.find('%', at + length) != std::string::npos) {
        return Fail(error, "PNG pattern '" + pattern + "' must hold one %d (or the like of %05d) and no other '%'");
    }
    if (pattern.find('/', at) != std::string::npos) {
        return Fail(error, "PNG pattern '" + pattern + "' must have its %d in the file name, not in a folder");
    }
    std::string digits = pattern.substr(at + 1, length - 2);
    zeros_ = !digits.empty() && digits[0] == '0';
    width_ = digits.empty() ? 0 : std::stoi(digits);
    if (width_ > kMostDigits) {
        return Fail(error, "PNG pattern '" + pattern + "' asks for more than 10 digits");
    }
    prefix_ = pattern.substr(0, at);
    suffix_ = pattern.substr(at + length);
    return true;
}

std::string PngNames::Name(int number) const
{
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width_) {
        digits.insert(0, width_ - digits.size(), zeros_ ? '0' : ' ');
    }
    return prefix_ + digits + suffix_;
}

std::string PngNames::Folder() const
{
    size_t slash = prefix_.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : prefix_.substr(0, slash);
}
