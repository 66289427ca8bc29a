#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "render/gl/font_atlas.h"

// These tests use the fonts installed on the machine: the two names the demo
// registers resolve to DejaVu faces through fontconfig's aliases.

namespace {

// The two registered fonts, loaded once per test process.
const FontAtlas& Small()
{
    static const std::unique_ptr<FontAtlas> atlas = FontAtlas::Create("Tahoma", 16);
    EXPECT_NE(atlas, nullptr) << "\"Tahoma\" 16 did not load";
    return *atlas;
}

const FontAtlas& Large()
{
    static const std::unique_ptr<FontAtlas> atlas = FontAtlas::Create("Consolas", 64);
    EXPECT_NE(atlas, nullptr) << "\"Consolas\" 64 did not load";
    return *atlas;
}

std::vector<FontAtlas::GlyphQuad> Layout(const FontAtlas& atlas, std::string_view text, float x, float y)
{
    std::vector<FontAtlas::GlyphQuad> quads;
    atlas.LayoutText(text, x, y, quads);
    return quads;
}

TEST(FontAtlasTest, RegisteredFontsLoadAtTheirCellHeightsOneMonospaced)
{
    for (const auto& [atlas, requested] : {std::pair{&Small(), 16}, std::pair{&Large(), 64}}) {
        SCOPED_TRACE(requested);
        EXPECT_EQ(atlas->PixelHeight(), requested);
        EXPECT_NEAR(atlas->LineHeight(), requested, requested / 8 + 2);
        EXPECT_GT(atlas->Ascender(), atlas->LineHeight() / 2);
        EXPECT_LT(atlas->Ascender(), atlas->LineHeight());
    }
    EXPECT_GT(Large().GlyphFor('H').h, 2 * Small().GlyphFor('H').h);
    EXPECT_EQ(Large().GlyphFor('i').advance, Large().GlyphFor('W').advance);
    EXPECT_LT(Small().GlyphFor('i').advance, Small().GlyphFor('W').advance);
}

TEST(FontAtlasTest, LayoutPlacesGlyphsInTheCellSpacesAdvanceNewlinesReturnAndOtherBytesDrawAsQuestionMark)
{
    for (const FontAtlas* atlas : {&Small(), &Large()}) {
        SCOPED_TRACE(atlas->PixelHeight());
        const FontAtlas::Glyph& h = atlas->GlyphFor('H');
        const FontAtlas::Glyph& i = atlas->GlyphFor('i');
        const auto quads = Layout(*atlas, "Hi", 10.0f, 20.0f);
        ASSERT_EQ(quads.size(), 2u);

        EXPECT_FLOAT_EQ(quads[0].x0, 10.0f + static_cast<float>(h.bearingLeft));
        EXPECT_NEAR(quads[0].x0, 10.0f, atlas->LineHeight() / 8.0f);
        EXPECT_FLOAT_EQ(quads[0].x1 - quads[0].x0, static_cast<float>(h.w));
        EXPECT_FLOAT_EQ(quads[0].y1 - quads[0].y0, static_cast<float>(h.h));
        // 'H' stands on the baseline, one ascender below the cell's top.
        EXPECT_NEAR(quads[0].y1, 20.0f + static_cast<float>(atlas->Ascender()), 1.0f);
        EXPECT_FLOAT_EQ(quads[1].x0, 10.0f + static_cast<float>(h.advance + i.bearingLeft));
        EXPECT_GT(quads[1].x0, quads[0].x1 - 1.0f);

        for (const auto& q : quads) {
            EXPECT_GE(q.y0, 20.0f);
            EXPECT_LE(q.y1, 20.0f + static_cast<float>(atlas->LineHeight()));
        }

        // The texture coordinates lead back to the 'H' rectangle.
        const auto texel = [](float u, int size) { return static_cast<int>(std::lround(u * size)); };
        EXPECT_EQ(std::vector<int>({texel(quads[0].u0, atlas->Width()), texel(quads[0].v0, atlas->Height()),
                                    texel(quads[0].u1, atlas->Width()), texel(quads[0].v1, atlas->Height())}),
                  std::vector<int>({h.x, h.y, h.x + h.w, h.y + h.h}));
    }

    // Spaces advance, newlines return and other bytes draw as a question mark.
    const FontAtlas& atlas = Large();
    const int hAdvance = atlas.GlyphFor('H').advance;
    const float line = static_cast<float>(atlas.LineHeight());
    std::vector<FontAtlas::GlyphQuad> quads(1);  // appended to, never cleared
    atlas.LayoutText("H H\nH\n\nH", 3.0f, 4.0f, quads);
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_FLOAT_EQ(quads[2].x0 - quads[1].x0, static_cast<float>(hAdvance + atlas.GlyphFor(' ').advance));
    EXPECT_FLOAT_EQ(quads[3].x0, quads[1].x0);
    EXPECT_FLOAT_EQ(quads[3].y0, quads[1].y0 + line);
    EXPECT_FLOAT_EQ(quads[4].y0, quads[1].y0 + 3.0f * line);
    EXPECT_FLOAT_EQ(atlas.TextWidth("H\nHHH"), static_cast<float>(3 * hAdvance));

    const auto question = Layout(atlas, "?", 5.0f, 7.0f);
    ASSERT_EQ(question.size(), 1u);
    for (const char* text : {"\xC3", "\xFF", "\x80", "\x01", "\t", "\x7F"}) {
        const auto drawn = Layout(atlas, text, 5.0f, 7.0f);
        ASSERT_EQ(drawn.size(), 1u) << static_cast<int>(text[0]);
        EXPECT_FLOAT_EQ(drawn[0].u0, question[0].u0);
        EXPECT_FLOAT_EQ(drawn[0].v1, question[0].v1);
    }
    // An embedded NUL is a byte like any other, not the end of the text.
    EXPECT_EQ(Layout(atlas, std::string_view("H\0H", 3), 0.0f, 0.0f).size(), 3u);
    EXPECT_TRUE(Layout(atlas, "  ", 0.0f, 0.0f).empty());
}

TEST(FontAtlasCreateTest, HeightsOutsideTheRangeAndBadNamesFailWithAReasonTheEndsLoad)
{
    const std::pair<std::string, int> refused[] = {
        {"Tahoma", 0},       {"Tahoma", -16}, {"Tahoma", INT_MIN}, {"Tahoma", FontAtlas::kMaxPixelHeight + 1},
        {"Tahoma", INT_MAX}, {"", 16},        {std::string("Tahoma\0Bold", 11), 16},
    };
    for (const auto& [name, height] : refused) {
        std::string error;
        EXPECT_EQ(FontAtlas::Create(name, height, &error), nullptr) << height;
        EXPECT_FALSE(error.empty());
    }
    for (const int height : {1, FontAtlas::kMaxPixelHeight}) {
        std::string error;
        const auto atlas = FontAtlas::Create("Consolas", height, &error);
        ASSERT_NE(atlas, nullptr) << error;
        EXPECT_NEAR(atlas->LineHeight(), height, 2);
    }
}

}  // namespace
