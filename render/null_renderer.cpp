#include "render/null_renderer.h"

#include <algorithm>

void NullRenderer::RenderFrame(float)
{
    if (!capturing_) {
        return;
    }
    std::vector<uint8_t> frame(static_cast<size_t>(pictureWidth_) * pictureHeight_ * 4,
                               static_cast<uint8_t>(framesCaptured_ % 256));
    for (size_t alpha = 3; alpha < frame.size(); alpha += 4) {
        frame[alpha] = 255;
    }
    inFlight_.push_back(std::move(frame));
    ++framesCaptured_;
}

const uint8_t* NullRenderer::TakeCapturedFrame(bool drain)
{
    const size_t kept = drain ? 0 : 1;
    if (inFlight_.size() <= kept) {
        return nullptr;
    }
    taken_ = std::move(inFlight_.front());
    inFlight_.pop_front();
    return taken_.data();
}

void NullRenderer::SetPictureSize(unsigned width, unsigned height)
{
    pictureWidth_ = width;
    pictureHeight_ = height;
}

void NullRenderer::SetConsoleLine(unsigned index, const char* text, unsigned length, int)
{
    if (index >= static_cast<unsigned>(GetConsoleLineCount())) {
        return;
    }
    if (consoleLines_.size() <= index) {
        consoleLines_.resize(index + 1);
    }
    consoleLines_[index] = text ? std::string(text, length) : std::string();
}

std::string NullRenderer::ConsoleLine(unsigned index) const
{
    return index < consoleLines_.size() ? consoleLines_[index] : std::string();
}

ShaderRecompiled NullRenderer::RecompileShader(const std::string& fileName, std::string* error)
{
    recompiledShaders_.push_back(fileName);
    const auto failing = failingShaders_.find(fileName);
    if (failing == failingShaders_.end()) {
        return ShaderRecompiled::kSwapped;
    }
    if (error) {
        *error = failing->second;
    }
    return ShaderRecompiled::kFailed;
}

int NullRenderer::ReloadMesh(Mesh* mesh)
{
    if (!mesh) {
        return -1;
    }
    reloadedMeshes_.push_back(mesh->name);
    return 0;
}

int NullRenderer::ReloadMaterial(Material* material)
{
    if (!material) {
        return -1;
    }
    reloadedMaterials_.push_back(material->name);
    return 0;
}

void NullRenderer::FailShader(const std::string& fileName, const std::string& compilerText)
{
    if (compilerText.empty()) {
        failingShaders_.erase(fileName);
    } else {
        failingShaders_[fileName] = compilerText;
    }
}
