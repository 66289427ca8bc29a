#pragma once
// CPU-side font atlas: resolves a family name to a font file, rasterises the
// printable ASCII range into one 8-bit coverage bitmap and lays text out as
// textured quads. No graphics calls; the renderer uploads Pixels() as a
// single-channel texture (Width() x Height(), tightly packed rows, row 0 at
// the top) and draws the quads LayoutText() produces.
//
// Font heights are cell heights: ascender + descender of the font is the
// requested pixel height, so a 64-pixel font's lines are about 64 pixels
// apart. Text is anchored at the top-left corner of its cell; the baseline
// lies Ascender() pixels below it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FontAtlas {
public:
    // One character's place in the atlas and its placement relative to the pen.
    struct Glyph {
        int x = 0;            // atlas rectangle, pixels; w or h is 0 for blank glyphs
        int y = 0;
        int w = 0;
        int h = 0;
        int bearingLeft = 0;  // pen x to the bitmap's left edge
        int bearingTop = 0;   // baseline up to the bitmap's top edge
        int advance = 0;      // pen movement, whole pixels
    };

    // Screen rectangle (pixels, y down) and atlas coordinates (0..1, v = 0 at row 0).
    struct GlyphQuad {
        float x0, y0, x1, y1;
        float u0, v0, u1, v1;
    };

    static constexpr int kFirstChar = 32;
    static constexpr int kLastChar = 126;
    static constexpr int kMaxPixelHeight = 512;

    // Null when the name does not resolve to a font file, the file cannot be
    // opened, the height is outside 1..kMaxPixelHeight or the font cannot be
    // sized or rasterised at it. When error is given it receives the reason.
    static std::unique_ptr<FontAtlas> Create(const std::string& faceName, int pixelHeight,
                                             std::string* error = nullptr);

    FontAtlas(const FontAtlas&) = delete;
    FontAtlas& operator=(const FontAtlas&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    const uint8_t* Pixels() const { return pixels_.data(); }
    int Ascender() const { return ascender_; }
    int LineHeight() const { return ascender_ + descender_; }
    int PixelHeight() const { return pixelHeight_; }
    const std::string& FilePath() const { return filePath_; }

    // The glyph drawn for a byte: itself in 32..126, '?' otherwise.
    const Glyph& GlyphFor(char c) const;

    // Appends one quad per visible glyph of text with the cell's top-left at
    // (x, y). Spaces advance without a quad; '\n' returns to x one line lower.
    void LayoutText(std::string_view text, float x, float y, std::vector<GlyphQuad>& out) const;
    // Advance sum of the longest line.
    float TextWidth(std::string_view text) const;

private:
    FontAtlas() = default;

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
    int ascender_ = 0;
    int descender_ = 0;  // positive: pixels below the baseline
    int pixelHeight_ = 0;
    std::string filePath_;
    Glyph glyphs_[kLastChar - kFirstChar + 1];
};
