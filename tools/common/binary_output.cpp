#include "tools/common/binary_output.h"

#include <cerrno>
#include <cstring>
#include <fstream>

std::string WriteBinaryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return "cannot create '" + path.string() + "': " + std::strerror(errno);
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return "cannot write '" + path.string() + "'";
    }
    return {};
}
