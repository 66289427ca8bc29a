#include <array>
#include <cstdlib>
#include <regex>
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
        pixels.insert(pixels.end(), {uint8_t(10 * i + 1), uint8_t(10 * i + 2), uint8_t(10 * i + 3)});
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

// What loading a material whose colour texture is refused says.
std::vector<std::string> Refused(const std::string& name, const std::string& why)
{
    return {"Colour texture " + name + " is malformed (" + why + ")", "Loading Material failure"};
}

using MaterialLoaderTest = SceneFixture;

}  // namespace

TEST_F(MaterialLoaderTest, ColourAndNormalTexturesAreMirroredPerRowAndMissingNormalMapsAreFlat)
{
    WriteFile("tex/plate.bmp", BitmapFile(4, 2, NumberedPixels(8)));
    WriteFile("tex/plate_normal.bmp", BitmapFile(4, 2, NumberedPixels(8, 1)));
    StdoutCapture capture;
    Material* material = LoadMaterial("plate");
    const std::vector<std::string> lines = capture.Lines();
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(std::vector<uint32_t>({material->width, material->height, material->channels, material->size}),
              std::vector<uint32_t>({4, 2, 3, 24}));
    // Row 0 is the first stored (bottom) row, reversed left to right.
    for (uint32_t column = 0; column < 4; ++column) {
        EXPECT_EQ(PixelAt(material->diffuse.get(), 4, 0, column), NumberedRgb(3 - column));
        EXPECT_EQ(PixelAt(material->diffuse.get(), 4, 1, column), NumberedRgb(7 - column));
        EXPECT_EQ(PixelAt(material->normalMap.get(), 4, 1, column), NumberedRgb(8 - column));
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        lines[0], std::regex("material plate width: 4 height: 2 channel: 3 size24 dataptr: [0-9a-f]+")))
        << lines[0];
    EXPECT_EQ(renderer.calls, std::vector<std::string>{"CreateMaterial plate"});
    EXPECT_EQ(FindMaterial("plate"), material);
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
        Material* flat = LoadMaterial(name);
        const std::vector<std::string> said = loading.Lines();
        ASSERT_NE(flat, nullptr) << name;
        ASSERT_EQ(said.size(), normalBytes.empty() ? 3u : 2u) << name;
        EXPECT_EQ(said[0], normalBytes.empty() ? "Cannot open file: tex/missing_normal.bmp"
                                               : "Normal map " + name + "_normal " + why + "; using a flat normal map");
        for (uint32_t i = 0; i < 8; ++i) {
            EXPECT_EQ(PixelAt(flat->normalMap.get(), 4, i / 4, i % 4), (Rgb{127, 127, 255}));
        }
        EXPECT_FALSE(TheFileManager().FindLoaded(name + "_normal", kResourceTexture).has_value());
    }

    // A long name keeps its normal map, though the name with "_normal" is 35 characters.
    const std::string longName(28, 'l');
    WriteFile("tex/" + longName + ".bmp", BitmapFile(4, 2, NumberedPixels(8)));
    WriteFile("tex/" + longName + "_normal.bmp", BitmapFile(4, 2, NumberedPixels(8, 1)));
    Material* longNamed = LoadMaterial(longName);
    ASSERT_NE(longNamed, nullptr);
    EXPECT_EQ(PixelAt(longNamed->normalMap.get(), 4, 1, 0), NumberedRgb(8));
}

TEST(BitmapTest, EveryPixelIsSwappedToRgbWhateverTheCount)
{
    // Pixel counts around the sizes the decoder handles in bulk.
    for (uint32_t width = 1; width <= 40; ++width) {
        const std::vector<uint8_t> bytes = BitmapFile(width, 1, NumberedPixels(width));
        ResourceFile file;
        file.data = bytes.data();
        file.size = static_cast<uint32_t>(bytes.size());
        DecodedBitmap bitmap;
        ASSERT_EQ(DecodeBitmap(file, &bitmap), 0);
        for (uint32_t i = 0; i < width; ++i) {
            ASSERT_EQ(PixelAt(bitmap.rgb.get(), width, 0, i), NumberedRgb(i)) << width << " " << i;
        }
    }
}

TEST_F(MaterialLoaderTest, BitmapsWrittenByAnIndependentToolKeepTheFormatsSkew)
{
    // 4 x 2, red with a blue top-left pixel: rows are 12 bytes, no padding.
    ASSERT_EQ(Convert("-size 4x2 xc:red -fill blue -draw 'point 0,0' -type truecolor", "BMP3", "marked"), 0);
    Material* marked = LoadMaterial("marked");
    ASSERT_NE(marked, nullptr);
    // The top row is the second stored row; mirrored, its first pixel is last.
    EXPECT_EQ(PixelAt(marked->diffuse.get(), 4, 1, 3), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(marked->diffuse.get(), 4, 1, 0), (Rgb{255, 0, 0}));

    // 5 x 2 red: each stored row is 15 bytes plus one padding byte, which the
    // format does not skip, so the second row starts one byte late.
    ASSERT_EQ(Convert("-size 5x2 xc:red -type truecolor", "BMP3", "skewed"), 0);
    Material* skewed = LoadMaterial("skewed");
    ASSERT_NE(skewed, nullptr);
    EXPECT_EQ(skewed->channels, 3u);  // 32 bytes / 10 pixels
    EXPECT_EQ(PixelAt(skewed->diffuse.get(), 5, 0, 0), (Rgb{255, 0, 0}));
    // Packed pixel 5 is (pad, blue, green) = black, pixel 6 is (red, blue, green) read
    // as blue-green-red = blue; mirrored into columns 4 and 3 of row 1.
    EXPECT_EQ(PixelAt(skewed->diffuse.get(), 5, 1, 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(skewed->diffuse.get(), 5, 1, 3), (Rgb{0, 0, 255}));
}

TEST_F(MaterialLoaderTest, MalformedColourTexturesFailTheMaterial)
{
    std::vector<uint8_t> noSignature = BitmapFile(2, 2, NumberedPixels(4));
    noSignature[0] = 'X';
    std::vector<uint8_t> headerOnly = BitmapFile(2, 2, {});
    headerOnly.resize(40);
    const std::vector<std::tuple<std::string, std::vector<uint8_t>, std::string>> files = {
        {"tooshort", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, "shorter than its 54-byte header"},
        {"cutheader", headerOnly, "shorter than its 54-byte header"},
        {"nosignature", noSignature, "no BM signature"},
        {"zerowidth", BitmapFile(0, 2, NumberedPixels(4)), "no pixels: width 0, height 2"},
        {"zerosize", BitmapFile(2, 2, NumberedPixels(4), 0), "image size 0 is less than 2 x 2 x 3 bytes"},
        {"sizetoobig", BitmapFile(2, 2, NumberedPixels(4), 13),
         "image size 13 is more than the 12 pixel bytes in the file"},
        {"fewpixels", BitmapFile(4, 4, NumberedPixels(5)), "image size 15 is less than 4 x 4 x 3 bytes"},
        // width x height x 3 overflows 32 bits to a small number.
        {"overflow", BitmapFile(2, 715827883, NumberedPixels(4)), "image size 12 is less than 2 x 715827883 x 3 bytes"},
    };
    const size_t materialsBefore = TheWorld().MaterialCount();
    const size_t cachedBefore = TheFileManager().LoadedCount();
    for (const auto& [name, bytes, why] : files) {
        WriteFile("tex/" + name + ".bmp", bytes);
        StdoutCapture capture;
        EXPECT_EQ(LoadMaterial(name), nullptr) << name;
        EXPECT_EQ(capture.Lines(), Refused(name, why));
    }
    EXPECT_EQ(TheWorld().MaterialCount(), materialsBefore);
    EXPECT_EQ(TheFileManager().LoadedCount(), cachedBefore);
    EXPECT_TRUE(renderer.calls.empty());

    StdoutCapture capture;
    EXPECT_EQ(LoadMaterial("absent"), nullptr);
    EXPECT_EQ(capture.Lines(), (std::vector<std::string>{
                                   "Cannot open file: tex/absent.bmp",
                                   "openfileerror",
                                   "Loading Material failure",
                               }));
}

TEST_F(MaterialLoaderTest, BitmapsOutsideTheFormatAreRefusedWithTheirReason)
{
    const std::string red = "-size 4x2 xc:red -type truecolor";
    const std::string alpha = "-size 4x2 xc:'rgba(255,0,0,0.5)' -define bmp3:alpha=true";
    // Name, image, file format, whether its rows are turned top-down, the reason.
    const std::tuple<std::string, std::string, std::string, bool, std::string> cases[] = {
        {"alpha", alpha, "BMP3", false, "32 bits per pixel, not 24"},
        {"infoheader", red, "BMP", false, "pixels start at byte 138, not 54"},
        {"palette", "-size 4x2 xc:red -type palette", "BMP3", false, "1 bits per pixel, not 24"},
        {"topdown", red, "BMP3", true, "rows stored top-down (negative height)"},
        {"alphatopdown", alpha, "BMP3", true, "32 bits per pixel, not 24"},
    };
    for (const auto& [name, image, format, topDown, why] : cases) {
        ASSERT_EQ(Convert(image, format, name), 0) << name;
        if (topDown) {  // the same file with a negative height
            std::string bytes = ReadFileText("tex/" + name + ".bmp");
            bytes[kBitmapHeightOffset] = static_cast<char>(-2);
            std::fill_n(bytes.begin() + kBitmapHeightOffset + 1, 3, static_cast<char>(0xFF));
            WriteFile("tex/" + name + ".bmp", bytes);
        }
        StdoutCapture capture;
        EXPECT_EQ(LoadMaterial(name), nullptr) << name;
        EXPECT_EQ(capture.Lines(), Refused(name, why));
    }
}

TEST_F(MaterialLoaderTest, SameMaterialTwiceIsReadTwiceIntoIndependentRecords)
{
    WriteFile("tex/twin.bmp", BitmapFile(4, 1, NumberedPixels(4)));
    Material* first = LoadMaterial("twin");
    WriteFile("tex/twin.bmp", BitmapFile(4, 1, NumberedPixels(4, 1)));  // changed on disk
    Material* second = LoadMaterial("twin");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(PixelAt(first->diffuse.get(), 4, 0, 3), NumberedRgb(0));
    EXPECT_EQ(PixelAt(second->diffuse.get(), 4, 0, 3), NumberedRgb(1));
    EXPECT_EQ(FindMaterial("twin"), first);
}
