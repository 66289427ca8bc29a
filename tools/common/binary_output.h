#pragma once
// Whole-file output for the tools' writers (little-endian packing comes
// from the file formats).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/little_endian.h"


// Writes the bytes as the whole file. An empty string on success, otherwise
// a message naming the file and the reason; a partly written file is removed.
std::string WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
