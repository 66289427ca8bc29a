#include "render/gl/gl_readback.h"

#include <cstring>

FrameReadback::FrameReadback(unsigned width, unsigned height, int ringSize)
    : width_(width), height_(height), frame_(size_t{width} * height * 4)
{
    for (int i = 0; i < ringSize; ++i) {
        GlBuffer buffer = NewBuffer();
        glNamedBufferStorage(buffer.get(), static_cast<GLsizeiptr>(frame_.size()), nullptr, GL_MAP_READ_BIT);
        ring_.push_back(std::move(buffer));
    }
}

void FrameReadback::Queue()
{
    const size_t ring = ring_.size();
    if (queued_ - taken_ >= static_cast<int64_t>(ring)) {
        Take(true);  // the caller fell behind: the oldest frame is dropped rather than overwritten unseen
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, ring_[static_cast<size_t>(queued_) % ring].get());
    glReadPixels(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    ++queued_;
}

const uint8_t* FrameReadback::Take(bool drain)
{
    const int64_t pending = queued_ - taken_;
    if (pending == 0 || (!drain && pending < 2)) {
        return nullptr;
    }
    const GlBuffer& buffer = ring_[static_cast<size_t>(taken_) % ring_.size()];
    const auto* pixels = static_cast<const uint8_t*>(
        glMapNamedBufferRange(buffer.get(), 0, static_cast<GLsizeiptr>(frame_.size()), GL_MAP_READ_BIT));
    const size_t row = size_t{width_} * 4;
    if (pixels) {
        // GL's rows run bottom-up; frames are handed on top row first.
        for (size_t y = 0; y < height_; ++y) {
            std::memcpy(frame_.data() + y * row, pixels + (height_ - 1 - y) * row, row);
        }
        glUnmapNamedBuffer(buffer.get());
    }
    ++taken_;
    return pixels ? frame_.data() : nullptr;
}
