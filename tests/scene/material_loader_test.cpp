#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "scene/bitmap.h"
#include "scene/material_loader.h"
#include "tests/scene/scene_files.h"
#include "tests/scene/scene_fixture.h"

namespace {

using Rgb = std::array<int, 3>;

// Stored pixel i is (blue, green, red) = (10i+1, 10i+2, 10i+3), from pixel `first` on.
std::vector<uint8_t> NumberedPixels(uint32_t count, uint32_t first = 0)
{
    std::vector<uint8_t> pixels;
    for (uint32_t i = first; i < first + count; ++i) {
        pixels.push_back(uint8_t(10 * i + 1));
        pixels.push_back(uint8_t(10 * i + 2));
        pixels.push_back(uint8_t(10 * i + 3));
    }
    return pixels;
}

Rgb NumberedRgb(uint32_t i)
{
    return Rgb{uint8_t(10 * i + 3), uint8_t(10 * i + 2), uint8_t(10 * i + 1)};  // wrapping as stored
}

Rgb PixelAt(const uint8_t* bytes, uint32_t width, uint32_t row, uint32_t column)
{
    const uint8_t* p = bytes + 3 * (size_t{row} * width + column);
    return Rgb{p[0], p[1], p[2]};
}

// Writes tex/NAME.bmp with an independent tool: the image's arguments, then
// the file format (BMP3 is the one the player reads).
int Convert(const std::string& image, const std::string& format, const std::string& name)
{
    std::filesystem::create_directories("tex");
    return std::system((std::string(IMAGEMAGICK_CONVERT) + " " + image + " " + format + ":tex/" + name + ".bmp").c_str());
}

// Loading the material fails, saying why its colour texture is refused.
void ExpectRefused(const std::string& name, const std::string& why)
{
    StdoutCapture log;
    StderrCapture problems;
    EXPECT_EQ(LoadMaterial(name), nullptr) << name;
    EXPECT_EQ(problems.Lines(), std::vector<std::string>{"Colour texture " + name + " is malformed (" + why + ")"});
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Loading Material failure"});
}

using MaterialLoaderTest = SceneFixture;

}  // namespace

TEST_F(MaterialLoaderTest, ColourAndNormalTexturesAreMirroredPerRowAndMissingNormalMapsAreFlat)
{
    WriteFile("tex/plate.bmp", BitmapFile(4, 2, NumberedPixels(8)));
    WriteFile("tex/plate_normal.bmp", BitmapFile(4, 2, NumberedPixels(8, 1)));
    Material* material = LoadMaterial("plate");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(std::vector<uint32_t>({material->width, material->height, material->channels, material->size}),
              std::vector<uint32_t>({4, 2, 3, 24}));
    // Row 0 is the first stored (bottom) row, reversed left to right.
    for (uint32_t column = 0; column < 4; ++column) {
        EXPECT_EQ(PixelAt(material->diffuse.get(), 4, 0, column), NumberedRgb(3 - column));
        EXPECT_EQ(PixelAt(material->normalMap.get(), 4, 1, column), NumberedRgb(8 - column));
    }
    // Texture bytes leave the file cache once the material holds its copy.
    EXPECT_FALSE(TheFileManager().FindLoaded("plate", kResourceTexture).has_value());
    EXPECT_FALSE(TheFileManager().FindLoaded("plate_normal", kResourceTexture).has_value());

    // Missing or unusable normal maps are replaced by the flat one.
    const std::vector<std::tuple<std::string, std::vector<uint8_t>, std::string>> normals = {
        {"missing", {}, ""},
        {"smaller", BitmapFile(2, 1, NumberedPixels(2)), "is smaller than smaller"},
        {"garbage", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'}, "is malformed (shorter than its 54-byte header)"},
    };
    for (const auto& [name, normalBytes, why] : normals) {
        WriteFile("tex/" + name + ".bmp", BitmapFile(4, 2, NumberedPixels(8)));
        if (!normalBytes.empty()) {
            WriteFile("tex/" + name + "_normal.bmp", normalBytes);
        }
        StdoutCapture loading;
        StderrCapture problems;
        Material* flat = LoadMaterial(name);
        const std::vector<std::string> said = loading.Lines();
        const std::vector<std::string> complained = problems.Lines();
        ASSERT_NE(flat, nullptr) << name;
        if (normalBytes.empty()) {
            ASSERT_EQ(said.size(), 3u) << name;
            EXPECT_EQ(said[0], "Cannot open file: tex/missing_normal.bmp");
            EXPECT_TRUE(complained.empty());
        } else {
            EXPECT_EQ(said.size(), 1u) << name;
            EXPECT_EQ(complained,
                      std::vector<std::string>{"Normal map " + name + "_normal " + why + "; using a flat normal map"});
        }
        EXPECT_EQ(PixelAt(flat->normalMap.get(), 4, 1, 3), (Rgb{127, 127, 255})) << name;  // the last pixel
    }
}

TEST(BitmapTest, EveryPixelIsSwappedToRgbWhateverTheCount)
{
    // Pixel counts around the sizes the decoder handles in bulk.
    for (uint32_t width = 1; width <= 40; ++width) {
        const std::vector<uint8_t> bytes = BitmapFile(width, 1, NumberedPixels(width));
        const ResourceFile file{.size = static_cast<uint32_t>(bytes.size()), .data = bytes.data()};
        DecodedBitmap bitmap;
        ASSERT_EQ(DecodeBitmap(file, &bitmap), 0);
        for (uint32_t i = 0; i < width; ++i) {
            ASSERT_EQ(PixelAt(bitmap.rgb.get(), width, 0, i), NumberedRgb(i)) << width << " " << i;
        }
    }
}

TEST_F(MaterialLoaderTest, BitmapsWrittenByAnIndependentToolKeepTheFormatsSkew)
{
    // 5 x 2 red: each stored row is 15 bytes plus one padding byte, which the
    // format does not skip, so the second row starts one byte late.
    ASSERT_EQ(Convert("-size 5x2 xc:red -type truecolor", "BMP3", "skewed"), 0);
    Material* skewed = LoadMaterial("skewed");
    ASSERT_NE(skewed, nullptr);
    // Packed pixel 5 is (pad, blue, green) = black, pixel 6 is (red, blue, green) read
    // as blue-green-red = blue; mirrored into columns 4 and 3 of row 1.
    EXPECT_EQ(PixelAt(skewed->diffuse.get(), 5, 1, 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(skewed->diffuse.get(), 5, 1, 3), (Rgb{0, 0, 255}));
}

TEST_F(MaterialLoaderTest, MalformedColourTexturesFailTheMaterial)
{
    std::vector<uint8_t> noSignature = BitmapFile(2, 2, NumberedPixels(4));
    noSignature[0] = 'X';
    const std::vector<std::tuple<std::string, std::vector<uint8_t>, std::string>> files = {
        {"tooshort", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, "shorter than its 54-byte header"},
        {"nosignature", noSignature, "no BM signature"},
        {"zerowidth", BitmapFile(0, 2, NumberedPixels(4)), "no pixels: width 0, height 2"},
        {"sizetoobig", BitmapFile(2, 2, NumberedPixels(4), 13),
         "image size 13 is more than the 12 pixel bytes in the file"},
        {"fewpixels", BitmapFile(4, 4, NumberedPixels(5)), "image size 15 is less than 4 x 4 x 3 bytes"},
        // width x height x 3 overflows 32 bits to a small number.
        {"overflow", BitmapFile(2, 715827883, NumberedPixels(4)), "image size 12 is less than 2 x 715827883 x 3 bytes"},
    };
    const size_t cachedBefore = TheFileManager().LoadedCount();
    for (const auto& [name, bytes, why] : files) {
        WriteFile("tex/" + name + ".bmp", bytes);
        ExpectRefused(name, why);
    }
    EXPECT_EQ(TheFileManager().LoadedCount(), cachedBefore);  // refused files are released

    StdoutCapture capture;
    EXPECT_EQ(LoadMaterial("absent"), nullptr);
    EXPECT_EQ(capture.Lines().back(), "Loading Material failure");
}

// Judged by its header before a pixel is read: a texture larger than the
// renderer takes is refused (a normal map that large gives way to a flat
// one), and of a bitmap taken only the header and its pixels are read,
// however long the file.
TEST_F(MaterialLoaderTest, TexturesAreJudgedByTheirHeaderBeforeTheirPixelsAreRead)
{
    renderer.maxTextureSide = 4;
    WriteFile("tex/wide.bmp", BitmapFile(8, 2, NumberedPixels(16)));
    WriteFile("tex/fits.bmp", BitmapFile(4, 2, NumberedPixels(8)));
    WriteFile("tex/fits_normal.bmp", BitmapFile(4, 8, NumberedPixels(32)));
    StdoutCapture log;
    StderrCapture problems;
    EXPECT_EQ(LoadMaterial("wide"), nullptr);
    ASSERT_NE(LoadMaterial("fits"), nullptr);
    const std::vector<std::string> logged = log.Lines();
    EXPECT_EQ(std::count(logged.begin(), logged.end(), "Loading Material failure"), 1);
    const std::vector<std::string> lines = problems.Lines();
    for (const char* said : {"Colour texture wide is too large (8 x 2 pixels, more than the 4 a side the graphics "
                             "driver takes)",
                             "Normal map fits_normal is too large (4 x 8 pixels, more than the 4 a side the "
                             "graphics driver takes); using a flat normal map"}) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), said), 1) << said;
    }
    EXPECT_EQ(FindMaterial("fits")->normalMap[0], 127);

    WriteFile("tex/padded.bmp", BitmapFile(4, 2, NumberedPixels(8)));
    std::filesystem::resize_file("tex/padded.bmp", uint64_t{3} << 30);  // sparse
    const ResourceFile read = TheFileManager().OpenFile("padded", kResourceTexture, BitmapAdmission(4));
    EXPECT_EQ(read.size, kBitmapHeaderBytes + 24);
    TheFileManager().ReleaseFile("padded", kResourceTexture);
}

TEST_F(MaterialLoaderTest, BitmapsOutsideTheFormatAreRefusedWithTheirReason)
{
    WriteFile("tex/topdown.bmp", BitmapFile(4, -2u, NumberedPixels(8)));  // a negative height
    // Name, image and file format for the independent tool, the reason.
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"alpha", "-size 4x2 xc:'rgba(255,0,0,0.5)' -define bmp3:alpha=true", "BMP3", "32 bits per pixel, not 24"},
        {"infoheader", "-size 4x2 xc:red -type truecolor", "BMP", "pixels start at byte 138, not 54"},
        {"topdown", "", "", "rows stored top-down (negative height)"},
    };
    for (const auto& [name, image, format, why] : cases) {
        ASSERT_TRUE(image.empty() || Convert(image, format, name) == 0) << name;
        ExpectRefused(name, why);
    }
}
