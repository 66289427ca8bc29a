// Resource decoding throughput: mesh files and bitmaps, each measured against
// a plain copy of the same bytes into a buffer that already exists, which is
// the fastest a decoder that must touch every byte could hope to be. A second
// copy into a freshly allocated buffer shows what allocation alone costs.
//
// Decoders allocate their output every iteration, and whether that memory is
// reused or handed back to the kernel (and faulted in again, page by page)
// depends on the allocator's trim and mapping thresholds. The "faults" counter
// (minor page faults per iteration) shows which case a run measured.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "formats/bitmap_file.h"
#include "formats/little_endian.h"
#include "formats/model_file.h"
#include "render/render_records.h"
#include "scene/bitmap.h"
#include "scene/mesh_loader.h"

namespace {

constexpr uint32_t kMeshVertices = 200000;
constexpr uint32_t kBitmapWidth = 2048;
constexpr uint32_t kBitmapHeight = 1024;

// Header, then fourteen floats per vertex with varied, deterministic values.
std::vector<uint8_t> MakeMeshFile(uint32_t vertices)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(kModelHeaderBytes + size_t{kModelVertexBytes} * vertices);
    AppendU32(bytes, vertices);
    AppendU32(bytes, kModelFileMagic);
    for (uint32_t v = 0; v < vertices; ++v) {
        for (uint32_t k = 0; k < kModelFloatsPerVertex; ++k) {
            AppendF32(bytes, static_cast<float>(v % 997) * 0.01f + static_cast<float>(k));
        }
    }
    return bytes;
}

// A 24-bit bitmap whose pixel bytes are a simple gradient.
std::vector<uint8_t> MakeBitmapFile(uint32_t width, uint32_t height)
{
    const uint32_t imageSize = width * height * 3;
    std::vector<uint8_t> bytes;
    AppendBitmapHeader(bytes, width, height, imageSize);
    for (size_t i = 0; i < imageSize; ++i) {
        bytes.push_back(static_cast<uint8_t>(i * 7 + i / 4096));
    }
    return bytes;
}

ResourceFile MakeResource(const std::vector<uint8_t>& bytes, const char* name, int type)
{
    ResourceFile file;
    std::strncpy(file.name, name, kMaxResourceNameLength);
    file.size = static_cast<uint32_t>(bytes.size());
    file.data = bytes.data();
    file.type = type;
    return file;
}

const std::vector<uint8_t>& MeshBytes()
{
    static const std::vector<uint8_t> bytes = MakeMeshFile(kMeshVertices);
    return bytes;
}

const std::vector<uint8_t>& BitmapBytes()
{
    static const std::vector<uint8_t> bytes = MakeBitmapFile(kBitmapWidth, kBitmapHeight);
    return bytes;
}

long MinorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Throughput, and the page faults per iteration since faultsBefore.
void Report(benchmark::State& state, size_t bytesPerIteration, long faultsBefore)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bytesPerIteration));
    state.counters["faults"] = benchmark::Counter(
        static_cast<double>(MinorFaults() - faultsBefore), benchmark::Counter::kAvgIterations);
}

// The copy baselines, shared by both file kinds.
void CopyPreallocated(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> target(bytes.size(), 0);
    const long faultsBefore = MinorFaults();
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    Report(state, bytes.size(), faultsBefore);
}

void CopyFreshAllocation(benchmark::State& state, const std::vector<uint8_t>& bytes)
{
    const long faultsBefore = MinorFaults();
    for (auto _ : state) {
        auto target = std::make_unique_for_overwrite<uint8_t[]>(bytes.size());
        std::memcpy(target.get(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(target.get());
        benchmark::ClobberMemory();
    }
    Report(state, bytes.size(), faultsBefore);
}

void BM_ParseMeshFile(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = MeshBytes();
    const ResourceFile file = MakeResource(bytes, "bench_mesh", kResourceModel);
    const std::string name = "bench_mesh";
    const long faultsBefore = MinorFaults();
    for (auto _ : state) {
        Mesh* mesh = nullptr;
        if (ParseMeshFile(file, &mesh, name) != 0) {
            state.SkipWithError("ParseMeshFile failed");
            break;
        }
        benchmark::DoNotOptimize(mesh->positions);
        benchmark::ClobberMemory();
        delete mesh;
    }
    Report(state, bytes.size(), faultsBefore);
}
BENCHMARK(BM_ParseMeshFile)->Unit(benchmark::kMillisecond);

void BM_MeshMemcpy(benchmark::State& state)
{
    CopyPreallocated(state, MeshBytes());
}
BENCHMARK(BM_MeshMemcpy)->Unit(benchmark::kMillisecond);

void BM_MeshMemcpyFreshBuffer(benchmark::State& state)
{
    CopyFreshAllocation(state, MeshBytes());
}
BENCHMARK(BM_MeshMemcpyFreshBuffer)->Unit(benchmark::kMillisecond);

void BM_DecodeBitmap(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = BitmapBytes();
    const ResourceFile file = MakeResource(bytes, "bench_texture", kResourceTexture);
    const long faultsBefore = MinorFaults();
    for (auto _ : state) {
        DecodedBitmap bitmap;
        if (DecodeBitmap(file, &bitmap) != 0) {
            state.SkipWithError("DecodeBitmap failed");
            break;
        }
        benchmark::DoNotOptimize(bitmap.rgb.get());
        benchmark::ClobberMemory();
    }
    Report(state, bytes.size(), faultsBefore);
}
BENCHMARK(BM_DecodeBitmap)->Unit(benchmark::kMillisecond);

void BM_BitmapMemcpy(benchmark::State& state)
{
    CopyPreallocated(state, BitmapBytes());
}
BENCHMARK(BM_BitmapMemcpy)->Unit(benchmark::kMillisecond);

void BM_BitmapMemcpyFreshBuffer(benchmark::State& state)
{
    CopyFreshAllocation(state, BitmapBytes());
}
BENCHMARK(BM_BitmapMemcpyFreshBuffer)->Unit(benchmark::kMillisecond);

}  // namespace
