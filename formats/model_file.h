#pragma once
// Model files ("model/NAME.obj", binary despite the extension): a uint32
// vertex count, the uint32 magic 0x1337, then one record of fourteen
// little-endian floats per vertex. The vertices form a triangle list.

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kModelFileMagic = 0x1337;
inline constexpr uint32_t kModelHeaderBytes = 8;
inline constexpr uint32_t kModelFloatsPerVertex = 14;
inline constexpr uint32_t kModelVertexBytes = kModelFloatsPerVertex * sizeof(float);

// Where each attribute starts in a vertex record, in floats.
inline constexpr size_t kModelPositionFloat = 0;   // x, y, z
inline constexpr size_t kModelTexcoordFloat = 3;   // u, v (v = 0 is the texture's top row)
inline constexpr size_t kModelNormalFloat = 5;     // x, y, z
inline constexpr size_t kModelTangentFloat = 8;    // x, y, z: where u grows
inline constexpr size_t kModelBinormalFloat = 11;  // x, y, z: where v grows
