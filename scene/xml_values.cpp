#include "scene/xml_values.h"

#include <cstdlib>
#include <cstring>

namespace {

// The leading decimal number of the text; 0 when it does not start with one.
float ToFloat(const std::string& text)
{
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

}  // namespace

int NameEquals(const std::string& text, const char* literal)
{
    if (!literal) {
        return 0;
    }
    const size_t length = std::strlen(literal);
    return text.size() == length && std::memcmp(text.data(), literal, length) == 0 ? 1 : 0;
}

int ReadFloatList(const XMLTag* tag, float* values, unsigned count)
{
    if (!tag || !values) {
        return -1;
    }
    unsigned index = 0;
    for (const XMLAttribute& attribute : tag->attributes) {
        if (index >= count) {
            break;
        }
        values[index++] = ToFloat(attribute.second);
    }
    return 0;
}

Vec3 ReadVec3(const XMLTag* tag)
{
    Vec3 result;
    if (!tag) {
        return result;
    }
    for (const auto& [name, value] : tag->attributes) {
        if (name == "x") {
            result.x = ToFloat(value);
        } else if (name == "y") {
            result.y = ToFloat(value);
        } else if (name == "z") {
            result.z = ToFloat(value);
        }
    }
    return result;
}

std::string FirstValue(const XMLTag* tag)
{
    return tag->attributes.empty() ? std::string() : tag->attributes.front().second;
}
