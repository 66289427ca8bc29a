#include "render/gl/gl_overlay.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/gl/list_unlink.h"

namespace {

struct Rgba {
    float r, g, b, a;
};

Rgba FromArgb(uint32_t colour)
{
    return Rgba{static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                static_cast<float>(colour & 0xFF) / 255.0f,
                static_cast<float>((colour >> 24) & 0xFF) / 255.0f};
}

// How much of the text fits in `width` pixels: at least one character, and
// where it can, up to the last space that fits.
size_t FittingLength(const FontAtlas& font, std::string_view text, float width)
{
    float used = 0.0f;
    size_t fits = 0;
    while (fits < text.size() && (fits == 0 || used + static_cast<float>(font.GlyphFor(text[fits]).advance) <= width)) {
        used += static_cast<float>(font.GlyphFor(text[fits]).advance);
        ++fits;
    }
    if (fits < text.size()) {
        const size_t space = text.rfind(' ', fits);
        if (space != std::string_view::npos && space > 0) {
            return space + 1;
        }
    }
    return fits;
}

GlTexture UploadAtlas(const FontAtlas& font)
{
    GlTexture texture = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(texture.get(), 1, GL_R8, font.Width(), font.Height());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTextureSubImage2D(texture.get(), 0, 0, 0, font.Width(), font.Height(), GL_RED, GL_UNSIGNED_BYTE,
                        font.Pixels());
    glTextureParameteri(texture.get(), GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTextureParameteri(texture.get(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

}  // namespace

bool Overlays::LoadFonts(float scale)
{
    const auto scaled = [scale](int height) { return std::max(1, static_cast<int>(std::lround(height * scale))); };
    smallFont_ = FontAtlas::Create("Tahoma", scaled(16));
    largeFont_ = smallFont_ ? FontAtlas::Create("Consolas", scaled(64)) : nullptr;
    consoleFont_ = largeFont_ ? FontAtlas::Create("Tahoma", std::max(scaled(16), kLegibleLinePixels)) : nullptr;
    return smallFont_ && largeFont_ && consoleFont_;
}

void Overlays::SetConsoleLineCount(unsigned count)
{
    console_.assign(count, ConsoleLine{});
}

void Overlays::CreateGpuObjects(ShaderSet& shaders, VertexStream& stream, const PictureLayout& picture)
{
    smallAtlas_ = UploadAtlas(*smallFont_);
    largeAtlas_ = UploadAtlas(*largeFont_);
    consoleAtlas_ = UploadAtlas(*consoleFont_);
    shaders_ = &shaders;
    stream_ = &stream;
    width_ = static_cast<float>(picture.width);
    height_ = static_cast<float>(picture.height);
    scale_ = picture.scale;
}

void Overlays::ReleaseGpuObjects()
{
    shaders_ = nullptr;
    stream_ = nullptr;
    smallAtlas_.Reset();
    largeAtlas_.Reset();
    consoleAtlas_.Reset();
}

int Overlays::AddText(TextInstance* text)
{
    if (!text) {
        return -1;
    }
    std::lock_guard<std::mutex> lock(lock_);
    texts_.push_front(text);
    return 0;
}

int Overlays::RemoveText(TextInstance* text)
{
    std::lock_guard<std::mutex> lock(lock_);
    return Unlink(texts_, text) ? 0 : -1;
}

int Overlays::AddLineSet(LineSet* lines)
{
    std::lock_guard<std::mutex> lock(lock_);
    lineSets_.push_back(lines);
    return 0;
}

int Overlays::RemoveLineSet(LineSet* lines)
{
    std::lock_guard<std::mutex> lock(lock_);
    return Unlink(lineSets_, lines) ? 0 : -1;
}

int Overlays::AddAux(void* object)
{
    std::lock_guard<std::mutex> lock(lock_);
    if (!object || std::find(auxObjects_.begin(), auxObjects_.end(), object) != auxObjects_.end()) {
        return -1;
    }
    auxObjects_.push_back(object);
    return 0;
}

int Overlays::RemoveAux(void* object)
{
    std::lock_guard<std::mutex> lock(lock_);
    return Unlink(auxObjects_, object) ? 0 : -1;
}

void Overlays::SetConsoleLine(unsigned index, const char* text, unsigned length, int colour)
{
    if (index >= console_.size() || length >= sizeof(ConsoleLine::text) || !text) {
        return;
    }
    ConsoleLine& line = console_[index];
    line.colour = colour;
    line.length = length;
    // At most 79 characters and the terminator: a longer text is cut.
    const size_t copied = strnlen(text, sizeof(line.text) - 1);
    std::memcpy(line.text, text, copied);
    line.text[copied] = '\0';
}

int Overlays::ConsoleLineCount() const
{
    return static_cast<int>(console_.size());
}

void Overlays::DrawLineSets(const Matrix4& view, const Matrix4& projection)
{
    ShaderSet& shaders = *shaders_;
    shaders.Use(kMeshLinesShader, kGeometryLinesShader);
    const FrameConstants& lines = shaders.Constants(kMeshLinesShader);
    shaders[kMeshLinesShader].SetMatrix(lines.worldView, view);
    shaders[kMeshLinesShader].SetMatrix(lines.proj, projection);
    glPointSize(std::max(1.0f, 2.0f * scale_));
    std::lock_guard<std::mutex> lock(lock_);
    for (const LineSet* lines : lineSets_) {
        if (!lines || !lines->points || lines->count == 0) {
            continue;
        }
        stream_->Draw(GL_POINTS, lines->points, static_cast<int>(lines->count), UserVertexFormat::kPosition);
    }
}

void Overlays::DrawTexts()
{
    std::lock_guard<std::mutex> lock(lock_);
    for (const TextInstance* text : texts_) {
        if (!text || !text->text) {
            continue;
        }
        const bool big = text->bigFont != 0;
        DrawString(big ? *largeFont_ : *smallFont_, big ? largeAtlas_.get() : smallAtlas_.get(), text->text,
                   static_cast<float>(text->x) * scale_, static_cast<float>(text->y) * scale_, text->colour);
    }
    DrawConsole();
}

// Console lines that hold text, over everything, one under the other from
// the top-left corner: 16 layout units apart, or the legible font's height
// when that is more.
void Overlays::DrawConsole()
{
    const FontAtlas& font = *consoleFont_;
    const float margin = std::max(8.0f * scale_, 2.0f);
    const float pitch = std::max(16.0f * scale_, static_cast<float>(font.LineHeight()));
    const float room = std::max(width_ - 2.0f * margin, 1.0f);
    float y = margin;
    for (size_t i = 0; i < console_.size() && y < height_; ++i) {
        const ConsoleLine& line = console_[i];
        if (line.length == 0 || line.text[0] == '\0') {
            y += pitch;
            continue;
        }
        std::string_view rest(line.text);
        while (!rest.empty() && y < height_) {
            const size_t part = FittingLength(font, rest, room);
            DrawString(font, consoleAtlas_.get(), rest.substr(0, part), margin, y, static_cast<uint32_t>(line.colour));
            rest.remove_prefix(part);
            y += pitch;
        }
    }
}

// Alpha-blended quads from the font atlas: two triangles per glyph.
void Overlays::DrawString(const FontAtlas& font, GLuint atlas, std::string_view text, float x, float y,
                          uint32_t colour)
{
    std::vector<FontAtlas::GlyphQuad>& quads = textQuads_;
    quads.clear();
    font.LayoutText(text, x, y, quads);
    if (quads.empty()) {
        return;
    }
    textVertices_.clear();
    for (const FontAtlas::GlyphQuad& q : quads) {
        const float corners[6][6] = {
            {q.x0, q.y0, 1, 1, q.u0, q.v0}, {q.x0, q.y1, 1, 1, q.u0, q.v1}, {q.x1, q.y1, 1, 1, q.u1, q.v1},
            {q.x1, q.y1, 1, 1, q.u1, q.v1}, {q.x1, q.y0, 1, 1, q.u1, q.v0}, {q.x0, q.y0, 1, 1, q.u0, q.v0},
        };
        for (const auto& corner : corners) {
            textVertices_.insert(textVertices_.end(), corner, corner + 6);
        }
    }
    ShaderSet& shaders = *shaders_;
    stream_->Bind();
    shaders.Bind();
    shaders.Use(kOverlayShader, kTextShader);
    shaders[kOverlayShader].SetVec2(shaders.Constants(kOverlayShader).screenSize, width_, height_);
    const Rgba c = FromArgb(colour);
    const FrameConstants& textConstants = shaders.Constants(kTextShader);
    shaders[kTextShader].SetVector(textConstants.colour, c.r, c.g, c.b, c.a);
    shaders[kTextShader].BindSampler(textConstants.atlas, atlas);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    stream_->Draw(GL_TRIANGLES, textVertices_.data(), static_cast<int>(quads.size() * 6),
                  UserVertexFormat::kScreenTextured);
    glDisable(GL_BLEND);
}

void Overlays::DrawText(const std::string& text, int x, int y, uint32_t colour)
{
    if (Ready()) {
        DrawString(*smallFont_, smallAtlas_.get(), text, static_cast<float>(x) * scale_,
                   static_cast<float>(y) * scale_, colour);
    }
}

void Overlays::DrawColoured(GLenum mode, const float* vertices, int count)
{
    stream_->Bind();
    shaders_->Bind();
    shaders_->Use(kOverlayShader, kFlat2dShader);
    (*shaders_)[kOverlayShader].SetVec2(shaders_->Constants(kOverlayShader).screenSize, width_, height_);
    stream_->Draw(mode, vertices, count, UserVertexFormat::kScreenColoured);
}

void Overlays::DrawLine2D(int x1, int y1, int x2, int y2, uint32_t colour)
{
    if (!Ready()) {
        return;
    }
    const Rgba c = FromArgb(colour);
    const float vertices[2][8] = {
        {float(x1) * scale_, float(y1) * scale_, 1, 0, c.r, c.g, c.b, c.a},
        {float(x2) * scale_, float(y2) * scale_, 1, 0, c.r, c.g, c.b, c.a},
    };
    DrawColoured(GL_LINES, &vertices[0][0], 2);
}

void Overlays::DrawRect2D(int x1, int y1, int x2, int y2, uint32_t colour)
{
    if (!Ready()) {
        return;
    }
    const Rgba c = FromArgb(colour);
    const int corners[5][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
    float vertices[5][8];
    for (int i = 0; i < 5; ++i) {
        const float v[8] = {float(corners[i][0]) * scale_, float(corners[i][1]) * scale_, 1, 0, c.r, c.g, c.b, c.a};
        std::copy(v, v + 8, vertices[i]);
    }
    DrawColoured(GL_LINE_STRIP, &vertices[0][0], 5);
}

void Overlays::DrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2, uint32_t colour,
                          const Matrix4& view, const Matrix4& projection)
{
    if (!Ready()) {
        return;
    }
    // World positions with a colour, seen through the frame's camera.
    const Rgba c = FromArgb(colour);
    const float vertices[2][8] = {
        {x1, y1, z1, 1, c.r, c.g, c.b, c.a},
        {x2, y2, z2, 1, c.r, c.g, c.b, c.a},
    };
    stream_->Bind();
    shaders_->Bind();
    shaders_->Use(kPrim3dShader, kFlat2dShader);
    const FrameConstants& prim3d = shaders_->Constants(kPrim3dShader);
    (*shaders_)[kPrim3dShader].SetMatrix(prim3d.worldView, view);
    (*shaders_)[kPrim3dShader].SetMatrix(prim3d.proj, projection);
    stream_->Draw(GL_LINES, &vertices[0][0], 2, UserVertexFormat::kScreenColoured);
    shaders_->UseVertex(kOverlayShader);
}
