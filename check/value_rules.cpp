#include "check/value_rules.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "scene/scene_numbers.h"

float LeadingNumber(const std::string& value)
{
    return static_cast<float>(std::strtod(value.c_str(), nullptr));
}

Vec3 VectorOf(const MarkedElement& element)
{
    Vec3 vector;
    for (const MarkedAttribute& attribute : element.attributes) {
        float* component = attribute.name == "x"   ? &vector.x
                           : attribute.name == "y" ? &vector.y
                           : attribute.name == "z" ? &vector.z
                                                   : nullptr;
        if (component) {
            *component = LeadingNumber(attribute.value);
        }
    }
    return vector;
}

float CheckedNumber(const MarkedAttribute& attribute, SceneContext& context, NumberRule rule)
{
    const char* start = attribute.value.c_str();
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    const float narrowed = static_cast<float>(number);
    if (end == start) {
        context.Error(attribute.where, "'" + attribute.value + "' (" + attribute.name + ") is not a number: read as 0");
    } else if (*end != '\0') {
        context.Error(attribute.where, "'" + attribute.value + "' (" + attribute.name + ") is not a number: read as '" +
                                           std::string(start, static_cast<size_t>(end - start)) + "'");
    } else if (!std::isfinite(narrowed)) {
        context.Error(attribute.where, "'" + attribute.value + "' (" + attribute.name + ") is not a finite number");
    } else if (rule == NumberRule::kDrawable && !DrawableSceneNumber(narrowed)) {
        std::ostringstream bound;
        bound << kLargestSceneNumber;
        context.Error(attribute.where, "'" + attribute.value + "' (" + attribute.name + ") lies beyond +-" +
                                           bound.str() + ": too large for the show to draw");
    }
    return narrowed;
}

void CheckVectorElement(const MarkedElement& element, SceneContext& context)
{
    bool seen[3] = {};
    for (const MarkedAttribute& attribute : element.attributes) {
        if (attribute.name.size() != 1 || attribute.name[0] < 'x' || attribute.name[0] > 'z') {
            context.Error(attribute.where, "attribute '" + attribute.name + "' of '" + element.name +
                                               "' is not read (only x, y and z are)");
            continue;
        }
        bool& given = seen[attribute.name[0] - 'x'];
        if (given) {
            context.Warning(attribute.where, "'" + attribute.name + "' is given twice in '" + element.name +
                                                 "': the later value wins");
        }
        given = true;
        CheckedNumber(attribute, context);
    }
}
