#pragma once
// Little-endian byte packing and whole-file output for the tools' writers.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

void AppendU16(std::vector<uint8_t>& bytes, uint16_t value);
void AppendU32(std::vector<uint8_t>& bytes, uint32_t value);
void AppendF32(std::vector<uint8_t>& bytes, float value);

// Writes the bytes as the whole file. An empty string on success, otherwise
// a message naming the file and the reason; a partly written file is removed.
std::string WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
