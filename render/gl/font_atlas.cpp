#include "render/gl/font_atlas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace {

// Blank pixels between neighbouring glyphs and around the atlas edge, so
// that bilinear sampling at a quad's border never picks up a neighbour.
constexpr int kPadding = 1;
// Every OpenGL 4.5 implementation accepts textures at least this large.
constexpr int kMaxAtlasSide = 16384;
// Integer-ppem rounding and pixel rounding of the metrics may leave the
// sized font's cell this far from the requested height.
constexpr int kCellTolerance = 2;

struct FcPatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FcConfigDeleter {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
struct FtLibraryDeleter {
    void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FtFaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigDeleter>;
using FtLibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, FtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FtFaceDeleter>;

bool Fail(std::string* error, std::string message)
{
    if (error) {
        *error = std::move(message);
    }
    return false;
}

struct FontFile {
    std::string path;
    int index = 0;
};

// Resolves a family name the way the desktop does (aliases such as "Tahoma"
// map to an installed substitute). The name is taken literally as a family,
// not parsed as a pattern, so names containing '-' or ':' stay intact.
// A private configuration keeps the lookup independent of the process-wide
// one and leaves nothing of fontconfig's behind once it is destroyed.
bool FindFontFile(const std::string& family, FontFile& found, std::string* error)
{
    FcConfigPtr config(FcInitLoadConfigAndFonts());
    if (!config) {
        return Fail(error, "fontconfig: cannot load the configuration");
    }
    FcPatternPtr pattern(FcPatternCreate());
    if (!pattern ||
        !FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str())) ||
        !FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern)) {
        return Fail(error, "fontconfig: cannot build the pattern for '" + family + "'");
    }
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(config.get(), pattern.get(), &result));
    if (!match || result != FcResultMatch) {
        return Fail(error, "fontconfig: no font matches '" + family + "'");
    }
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file || !*file) {
        return Fail(error, "fontconfig: the match for '" + family + "' has no file");
    }
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) != FcResultMatch) {
        index = 0;
    }
    found.path = reinterpret_cast<const char*>(file);
    found.index = index;
    return true;
}

// Sizes the face so that its cell (ascender + descender) is pixelHeight and
// returns the cell's two parts in whole pixels.
bool SizeFace(FT_Face face, int pixelHeight, int& ascender, int& descender, std::string* error)
{
    if (FT_IS_SCALABLE(face)) {
        // The cell comes from the OS/2 Windows metrics where the font has
        // them (they bound every glyph), otherwise from the horizontal header.
        long designAscent = face->ascender;
        long designDescent = -static_cast<long>(face->descender);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            designAscent = os2->usWinAscent;
            designDescent = os2->usWinDescent;
        }
        const long designCell = designAscent + designDescent;
        if (face->units_per_EM == 0 || designCell <= 0) {
            return Fail(error, "freetype: the font has no usable vertical metrics");
        }
        const double ppem = static_cast<double>(pixelHeight) * face->units_per_EM / designCell;
        FT_Size_RequestRec request{};
        request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
        request.height = static_cast<FT_Long>(std::lround(ppem * 64.0));
        if (request.height <= 0 || FT_Request_Size(face, &request) != 0) {
            return Fail(error, "freetype: cannot size the font to " + std::to_string(pixelHeight) + " pixels");
        }
        // The driver may have rounded the em size to whole pixels; measure
        // with the scale it actually uses.
        const double unitsToPixels = static_cast<double>(face->size->metrics.y_scale) / 65536.0 / 64.0;
        ascender = static_cast<int>(std::lround(designAscent * unitsToPixels));
        descender = static_cast<int>(std::lround(designDescent * unitsToPixels));
    } else {
        // Bitmap-only font: the strike whose line height is nearest.
        if (face->num_fixed_sizes <= 0 || !face->available_sizes) {
            return Fail(error, "freetype: the font has neither outlines nor bitmap strikes");
        }
        int best = 0;
        for (int i = 1; i < face->num_fixed_sizes; ++i) {
            if (std::abs(face->available_sizes[i].height - pixelHeight) <
                std::abs(face->available_sizes[best].height - pixelHeight)) {
                best = i;
            }
        }
        if (FT_Select_Size(face, best) != 0) {
            return Fail(error, "freetype: cannot select a bitmap strike");
        }
        ascender = static_cast<int>((face->size->metrics.ascender + 32) / 64);
        descender = static_cast<int>((-face->size->metrics.descender + 32) / 64);
    }
    if (ascender <= 0 || descender < 0 || std::abs(ascender + descender - pixelHeight) > kCellTolerance) {
        return Fail(error, "freetype: the sized font's cell is " + std::to_string(ascender + descender) +
                               " pixels, not " + std::to_string(pixelHeight));
    }
    return true;
}

// Packs glyphs left to right in rows ("shelves") of a fixed-width 8-bit
// bitmap that grows downwards as rows are added.
class ShelfPacker {
public:
    explicit ShelfPacker(int width) : width_(width) {}

    bool Place(int w, int h, int& x, int& y)
    {
        if (w + 2 * kPadding > width_) {
            return false;
        }
        if (penX_ + w + kPadding > width_) {
            shelfY_ += shelfHeight_ + kPadding;
            penX_ = kPadding;
            shelfHeight_ = 0;
        }
        if (shelfY_ + h + kPadding > kMaxAtlasSide) {
            return false;
        }
        x = penX_;
        y = shelfY_;
        penX_ += w + kPadding;
        shelfHeight_ = std::max(shelfHeight_, h);
        const int needed = shelfY_ + h + kPadding;
        if (needed > height_) {
            height_ = needed;
            pixels_.resize(static_cast<size_t>(width_) * height_, 0);
        }
        return true;
    }

    uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::vector<uint8_t>& Pixels() { return pixels_; }

private:
    int width_;
    int height_ = 0;
    int penX_ = kPadding;
    int shelfY_ = kPadding;
    int shelfHeight_ = 0;
    std::vector<uint8_t> pixels_;
};

// Copies a rendered glyph into the atlas at (x, y) as 0..255 coverage.
bool CopyBitmap(const FT_Bitmap& bitmap, ShelfPacker& packer, int x, int y)
{
    const int w = static_cast<int>(bitmap.width);
    const int h = static_cast<int>(bitmap.rows);
    const int stride = std::abs(bitmap.pitch);
    if (!bitmap.buffer) {
        return false;
    }
    // With a negative pitch the buffer starts at the bottom row.
    const uint8_t* top = bitmap.pitch < 0 ? bitmap.buffer + static_cast<ptrdiff_t>(h - 1) * stride : bitmap.buffer;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        if (stride < w || bitmap.num_grays < 2) {
            return false;
        }
        const int maxGray = bitmap.num_grays - 1;
        for (int row = 0; row < h; ++row) {
            const uint8_t* src = top + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* dst = packer.Row(y + row) + x;
            if (maxGray == 255) {
                std::memcpy(dst, src, static_cast<size_t>(w));
            } else {
                for (int col = 0; col < w; ++col) {
                    dst[col] = static_cast<uint8_t>(std::min(int(src[col]), maxGray) * 255 / maxGray);
                }
            }
        }
        return true;
    }
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        if (stride < (w + 7) / 8) {
            return false;
        }
        for (int row = 0; row < h; ++row) {
            const uint8_t* src = top + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* dst = packer.Row(y + row) + x;
            for (int col = 0; col < w; ++col) {
                dst[col] = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
            }
        }
        return true;
    }
    return false;
}

int AtlasWidthFor(int pixelHeight)
{
    if (pixelHeight <= 32) {
        return 512;
    }
    if (pixelHeight <= 96) {
        return 1024;
    }
    return pixelHeight <= 256 ? 2048 : 4096;
}

}  // namespace

std::unique_ptr<FontAtlas> FontAtlas::Create(const std::string& faceName, int pixelHeight, std::string* error)
{
    if (pixelHeight < 1 || pixelHeight > kMaxPixelHeight) {
        Fail(error, "font height " + std::to_string(pixelHeight) + " is outside 1.." +
                        std::to_string(kMaxPixelHeight));
        return nullptr;
    }
    if (faceName.empty() || faceName.find('\0') != std::string::npos) {
        Fail(error, "the font name is empty or contains a NUL byte");
        return nullptr;
    }

    FontFile file;
    if (!FindFontFile(faceName, file, error)) {
        return nullptr;
    }

    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        Fail(error, "freetype: cannot initialise");
        return nullptr;
    }
    FtLibraryPtr library(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), file.path.c_str(), file.index, &rawFace) != 0) {
        Fail(error, "freetype: cannot open '" + file.path + "'");
        return nullptr;
    }
    FtFacePtr face(rawFace);  // declared after library: released first

    std::unique_ptr<FontAtlas> atlas(new FontAtlas());
    atlas->pixelHeight_ = pixelHeight;
    atlas->filePath_ = file.path;
    if (!SizeFace(face.get(), pixelHeight, atlas->ascender_, atlas->descender_, error)) {
        return nullptr;
    }

    ShelfPacker packer(AtlasWidthFor(pixelHeight));
    for (int c = kFirstChar; c <= kLastChar; ++c) {
        if (FT_Load_Char(face.get(), static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0) {
            Fail(error, "freetype: cannot render character " + std::to_string(c));
            return nullptr;
        }
        const FT_GlyphSlot slot = face->glyph;
        Glyph& glyph = atlas->glyphs_[c - kFirstChar];
        glyph.advance = static_cast<int>(std::lround(static_cast<double>(slot->advance.x) / 64.0));
        glyph.bearingLeft = slot->bitmap_left;
        glyph.bearingTop = slot->bitmap_top;
        const int w = static_cast<int>(slot->bitmap.width);
        const int h = static_cast<int>(slot->bitmap.rows);
        if (w <= 0 || h <= 0) {
            continue;  // blank glyph (the space): advance only
        }
        if (!packer.Place(w, h, glyph.x, glyph.y)) {
            Fail(error, "the glyphs do not fit a " + std::to_string(packer.Width()) + "-pixel-wide atlas");
            return nullptr;
        }
        glyph.w = w;
        glyph.h = h;
        if (!CopyBitmap(slot->bitmap, packer, glyph.x, glyph.y)) {
            Fail(error, "freetype: unsupported bitmap format for character " + std::to_string(c));
            return nullptr;
        }
    }
    if (packer.Height() == 0) {
        Fail(error, "the font has no visible glyphs in the printable range");
        return nullptr;
    }

    atlas->width_ = packer.Width();
    atlas->height_ = packer.Height();
    atlas->pixels_ = std::move(packer.Pixels());
    return atlas;
}

const FontAtlas::Glyph& FontAtlas::GlyphFor(char c) const
{
    const int code = static_cast<unsigned char>(c);
    const int drawn = code >= kFirstChar && code <= kLastChar ? code : '?';
    return glyphs_[drawn - kFirstChar];
}

void FontAtlas::LayoutText(std::string_view text, float x, float y, std::vector<GlyphQuad>& out) const
{
    const float invWidth = 1.0f / static_cast<float>(width_);
    const float invHeight = 1.0f / static_cast<float>(height_);
    float penX = x;
    float baseline = y + static_cast<float>(ascender_);
    for (const char c : text) {
        if (c == '\n') {
            penX = x;
            baseline += static_cast<float>(LineHeight());
            continue;
        }
        const Glyph& g = GlyphFor(c);
        if (g.w > 0 && g.h > 0) {
            GlyphQuad q;
            q.x0 = penX + static_cast<float>(g.bearingLeft);
            q.y0 = baseline - static_cast<float>(g.bearingTop);
            q.x1 = q.x0 + static_cast<float>(g.w);
            q.y1 = q.y0 + static_cast<float>(g.h);
            q.u0 = static_cast<float>(g.x) * invWidth;
            q.v0 = static_cast<float>(g.y) * invHeight;
            q.u1 = static_cast<float>(g.x + g.w) * invWidth;
            q.v1 = static_cast<float>(g.y + g.h) * invHeight;
            out.push_back(q);
        }
        penX += static_cast<float>(g.advance);
    }
}

float FontAtlas::TextWidth(std::string_view text) const
{
    int longest = 0;
    int line = 0;
    for (const char c : text) {
        if (c == '\n') {
            longest = std::max(longest, line);
            line = 0;
        } else {
            line += GlyphFor(c).advance;
        }
    }
    return static_cast<float>(std::max(longest, line));
}
