#pragma once
// Little-endian values in byte buffers: how every number in the model and
// bitmap files is stored.

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

inline uint32_t ReadU32(const uint8_t* bytes)
{
    uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;  // the players and tools run on little-endian machines
}

inline uint16_t ReadU16(const uint8_t* bytes)
{
    uint16_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline void AppendU16(std::vector<uint8_t>& bytes, uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendU32(std::vector<uint8_t>& bytes, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
}

inline void AppendF32(std::vector<uint8_t>& bytes, float value)
{
    AppendU32(bytes, std::bit_cast<uint32_t>(value));
}

static_assert(std::endian::native == std::endian::little, "file formats are read in place as little-endian");
