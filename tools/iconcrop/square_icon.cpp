#include "tools/iconcrop/square_icon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// How much of one source pixel falls into one icon pixel.
struct Share {
    uint32_t source;
    double weight;
};

// For each of `side` icon pixels along an axis, the source pixels from
// `first` to `first + span` that it covers and by how much (the weights of
// one icon pixel add up to 1).
std::vector<std::vector<Share>> SharesAlong(uint32_t first, uint32_t span, uint32_t side)
{
    const double step = static_cast<double>(span) / side;
    std::vector<std::vector<Share>> shares(side);
    for (uint32_t i = 0; i < side; ++i) {
        const double from = i * step;
        const double to = (i + 1) * step;
        for (auto s = static_cast<uint32_t>(std::floor(from)); s < span && s < to; ++s) {
            const double covered = std::min<double>(to, s + 1) - std::max<double>(from, s);
            if (covered > 0.0) {
                shares[i].push_back({first + s, covered / step});
            }
        }
    }
    return shares;
}

}  // namespace

RgbImage SquareIcon(const RgbImage& picture, uint32_t side)
{
    const uint32_t span = std::min(picture.width, picture.height);
    const auto columns = SharesAlong((picture.width - span) / 2, span, side);
    const auto rows = SharesAlong((picture.height - span) / 2, span, side);
    RgbImage icon(side, side);
    for (uint32_t row = 0; row < side; ++row) {
        for (uint32_t column = 0; column < side; ++column) {
            double sum[3] = {0.0, 0.0, 0.0};
            for (const Share& down : rows[row]) {
                for (const Share& across : columns[column]) {
                    const uint8_t* p = picture.Pixel(down.source, across.source);
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += down.weight * across.weight * p[c];
                    }
                }
            }
            uint8_t* out = icon.Pixel(row, column);
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<uint8_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
            }
        }
    }
    return icon;
}
