#pragma once
// Pictures compared with a tolerance that survives another rasteriser
// version but not a lost light, a wrong texture or a moved object.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, top row first

    // Empty (width 0) when the file cannot be read as a picture.
    static Picture Read(const std::filesystem::path& path);
};

struct PictureDiff {
    bool sameSize = false;
    double differingShare = 1.0;  // pixels where a channel differs by more than the threshold
    Picture difference;           // those pixels white, the rest a dark copy of the reference

    bool Within(double share) const { return sameSize && differingShare <= share; }
};

PictureDiff ComparePictures(const Picture& actual, const Picture& reference, int threshold);

void WritePicture(const std::filesystem::path& path, const Picture& picture);
