#include "fuzz/fuzz_support.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_manager.h"
#include "core/log.h"
#include "formats/bitmap_file.h"
#include "formats/little_endian.h"
#include "formats/model_file.h"
#include "render/null_renderer.h"

namespace {

std::vector<uint8_t> MeshBytes(uint32_t vertices)
{
    std::vector<uint8_t> bytes;
    AppendU32(bytes, vertices);
    AppendU32(bytes, kModelFileMagic);
    for (uint32_t v = 0; v < vertices; ++v) {
        for (uint32_t f = 0; f < kModelFloatsPerVertex; ++f) {
            AppendF32(bytes, static_cast<float>((v * 7 + f) % 5) - 2.0f);
        }
    }
    return bytes;
}

// A square 24-bit bitmap; imageSize may claim more pixel bytes than
// width x height x 3, which the decoder accepts.
std::vector<uint8_t> BitmapBytes(uint32_t side, uint32_t imageSize)
{
    std::vector<uint8_t> bytes;
    AppendBitmapHeader(bytes, side, side, imageSize);
    for (uint32_t i = 0; i < imageSize; ++i) {
        bytes.push_back(static_cast<uint8_t>(i * 37));
    }
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
}


// Removes a directory and what it holds when the process ends.
struct RemovedAtExit {
    std::filesystem::path path;
    ~RemovedAtExit()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

void QuietLogOnce()
{
    static const bool quiet = [] {
        SetLogSink(nullptr);
        return true;
    }();
    (void)quiet;
}

void PrepareSceneDirectoryOnce()
{
    static const bool prepared = [] {
        QuietLogOnce();
        // Absolute paths: the fuzzer reads its corpus relative to the working
        // directory, which therefore stays as it is.
        std::string dir = "/tmp/demo-fuzz-XXXXXX";
        if (!mkdtemp(dir.data())) {
            std::perror("fuzzing directory");
            std::abort();
        }
        static const RemovedAtExit removal{dir};
        const std::string models = dir + "/model/";
        const std::string textures = dir + "/tex/";
        if (mkdir(models.c_str(), 0700) != 0 || mkdir(textures.c_str(), 0700) != 0) {
            std::abort();
        }
        // The names our production uses, so that it serves as a seed as it is.
        for (const char* mesh : {"ground", "pillar", "knot", "orb", "shards", "cube"}) {
            WriteFile(models + mesh + ".obj", MeshBytes(36));
        }
        WriteFile(models + "wall.obj", MeshBytes(4));  // not a whole number of triangles
        for (const char* texture : {"concrete", "metal", "tiles", "stone"}) {
            WriteFile(textures + texture + ".bmp", BitmapBytes(4, 48));
            WriteFile(textures + texture + "_normal.bmp", BitmapBytes(4, 48));
        }
        WriteFile(textures + "panel.bmp", BitmapBytes(1, 12));  // 1 x 1 claiming 4 pixels
        TheFileManager().AddSearchPath(models, "obj", kResourceModel);
        TheFileManager().AddSearchPath(textures, "bmp", kResourceTexture);
        SetRenderer(new NullRenderer);
        return true;
    }();
    (void)prepared;
}

bool FuzzedFile(const uint8_t* data, size_t size, int type, std::unique_ptr<uint8_t[]>* storage,
                ResourceFile* file)
{
    if (size > UINT32_MAX) {
        return false;
    }
    *storage = std::make_unique<uint8_t[]>(size);
    std::memcpy(storage->get(), data, size);
    std::strcpy(file->name, "fuzzed");
    file->size = static_cast<uint32_t>(size);
    file->data = storage->get();
    file->type = type;
    return true;
}
