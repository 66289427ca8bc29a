#pragma once
// Reading numbers, vectors and names out of an element's attributes.

#include <string>

#include "core/math.h"
#include "scene/xml_reader.h"

// 1 when the two are equal byte for byte, else 0.
int NameEquals(const std::string& text, const char* literal);
// Stores the first count attribute values, converted to numbers, in order.
// -1 when the element or the array is null; else 0.
int ReadFloatList(const XMLTag* tag, float* values, unsigned count);
// x, y and z from the attributes named so; missing components stay 0.
Vec3 ReadVec3(const XMLTag* tag);
// The value of the element's first attribute, whatever its name; empty when
// it has none.
std::string FirstValue(const XMLTag* tag);
