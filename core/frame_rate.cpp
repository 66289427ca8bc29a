#include "core/frame_rate.h"

#include <charconv>
#include <cmath>
#include <numeric>
#include <string_view>

namespace {

constexpr int64_t kLargestTerm = 1000000;

bool ReadTerm(std::string_view text, int64_t* number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
    return error == std::errc() && end == text.data() + text.size() && *number <= kLargestTerm;
}

// The NTSC rates as people write them, and what they stand for.
struct NtscRate {
    std::string_view written;
    int64_t frames;
};
constexpr NtscRate kNtscRates[] = {{"23.976", 24000}, {"29.97", 30000}, {"59.94", 60000}, {"119.88", 120000}};

}  // namespace

double FrameRate::TimeOf(int64_t frame) const
{
    // Whole seconds first, so that the fraction left is small and exact.
    const int64_t whole = frame / frames;
    const int64_t rest = frame % frames;
    return static_cast<double>(whole * seconds) + static_cast<double>(rest * seconds) / static_cast<double>(frames);
}

int64_t FrameRate::FrameAt(double time) const
{
    return static_cast<int64_t>(std::llround(time * static_cast<double>(frames) / static_cast<double>(seconds)));
}

std::string FrameRate::Text() const
{
    return seconds == 1 ? std::to_string(frames) : std::to_string(frames) + "/" + std::to_string(seconds);
}

std::string ParseFrameRate(const std::string& text, FrameRate* rate)
{
    for (const NtscRate& ntsc : kNtscRates) {
        if (text == ntsc.written) {
            *rate = FrameRate(ntsc.frames, 1001);
            return {};
        }
    }
    const size_t slash = text.find('/');
    int64_t frames = 0;
    int64_t seconds = 1;
    const std::string_view all(text);
    const bool read = slash == std::string::npos
                          ? ReadTerm(all, &frames)
                          : ReadTerm(all.substr(0, slash), &frames) && ReadTerm(all.substr(slash + 1), &seconds);
    if (!read) {
        return "'" + text + "' is not a frame rate: give a whole number (60), a fraction (30000/1001) or "
               "23.976, 29.97, 59.94 or 119.88";
    }
    if (frames == 0 || seconds == 0) {
        return "'" + text + "' is not a frame rate: it must be more than 0";
    }
    const int64_t common = std::gcd(frames, seconds);
    *rate = FrameRate(frames / common, seconds / common);
    return {};
}
