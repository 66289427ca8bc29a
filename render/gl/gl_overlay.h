#pragma once
// Everything the frame draws besides the lit scene: registered texts (newest
// first, drawn over the finished frame), registered line sets (points drawn
// into the geometry pass), the console table and the auxiliary set, and the
// immediate drawing of text, 2D lines, 2D rectangles and 3D lines. The
// loading thread changes the lists while frames are drawn: they are guarded
// for the short time of a change and of the passes that read them.
// Positions are in layout units, scaled to the picture with its fonts.

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "render/gl/font_atlas.h"
#include "render/gl/gl_objects.h"
#include "render/gl/gl_shader_set.h"
#include "render/gl/gl_vertex_stream.h"
#include "render/gl/picture_layout.h"
#include "core/math.h"
#include "render/render_records.h"

class Overlays {
public:
    // The console lines are never drawn smaller than this, however small the
    // picture: they carry messages that have to be read.
    static constexpr int kLegibleLinePixels = 14;

    // The small ("Tahoma", 16) and large ("Consolas", 64) fonts, their
    // heights scaled to the picture, and the console's (the small one, at
    // least kLegibleLinePixels high); false when any cannot be made.
    bool LoadFonts(float scale);
    // Console lines start empty; there are `count` of them.
    void SetConsoleLineCount(unsigned count);
    // Uploads the font atlases and takes the frame's shaders and vertex
    // stream for its drawing. Nothing is drawn before.
    void CreateGpuObjects(ShaderSet& shaders, VertexStream& stream, const PictureLayout& picture);
    // The main context must be current.
    void ReleaseGpuObjects();

    int AddText(TextInstance* text);
    int RemoveText(TextInstance* text);
    int AddLineSet(LineSet* lines);
    int RemoveLineSet(LineSet* lines);
    int AddAux(void* object);
    int RemoveAux(void* object);
    void SetConsoleLine(unsigned index, const char* text, unsigned length, int colour);
    int ConsoleLineCount() const;

    // Every registered line set as points, with the frame's view and projection.
    void DrawLineSets(const Matrix4& view, const Matrix4& projection);
    // Every registered text, the newest first, so older ones end up on top;
    // then the console lines that hold text, from the top-left corner down,
    // each broken where it would run past the picture's right edge.
    void DrawTexts();

    void DrawText(const std::string& text, int x, int y, uint32_t colour);
    void DrawLine2D(int x1, int y1, int x2, int y2, uint32_t colour);
    void DrawRect2D(int x1, int y1, int x2, int y2, uint32_t colour);
    // A world-space line through the camera's view and projection.
    void DrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2, uint32_t colour,
                    const Matrix4& view, const Matrix4& projection);

private:
    struct ConsoleLine {
        char text[80] = {};
        unsigned length = 0;
        int colour = 0;
    };

    bool Ready() const { return stream_ != nullptr; }
    void DrawConsole();
    // The text with its cell's top-left corner at (x, y), picture pixels.
    void DrawString(const FontAtlas& font, GLuint atlas, std::string_view text, float x, float y, uint32_t colour);
    // Screen-pixel vertices with a colour, through the overlay and flat shaders.
    void DrawColoured(GLenum mode, const float* vertices, int count);

    ShaderSet* shaders_ = nullptr;
    VertexStream* stream_ = nullptr;
    float width_ = 0.0f;  // the picture, pixels
    float height_ = 0.0f;
    float scale_ = 1.0f;  // picture pixels per layout unit
    std::unique_ptr<FontAtlas> smallFont_;
    std::unique_ptr<FontAtlas> largeFont_;
    std::unique_ptr<FontAtlas> consoleFont_;
    GlTexture smallAtlas_;
    GlTexture largeAtlas_;
    GlTexture consoleAtlas_;
    std::vector<ConsoleLine> console_;
    // Reused from text to text, so that drawing allocates nothing per frame.
    std::vector<FontAtlas::GlyphQuad> textQuads_;
    std::vector<float> textVertices_;

    std::mutex lock_;
    std::list<TextInstance*> texts_;
    std::list<LineSet*> lineSets_;
    std::vector<void*> auxObjects_;
};
