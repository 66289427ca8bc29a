#pragma once
// Numbers in attribute values, as the player converts them: the leading
// decimal number of the value, 0 when there is none, narrowed to float.

#include "check/scene_context.h"

// What a number must be. A time must be finite; anything the show draws (a
// position, a colour, an automation's values) must also lie within the
// bound the scene loader holds automation keys to (scene/scene_numbers.h).
enum class NumberRule { kFinite, kDrawable };

// The number the player reads from an attribute value, unchecked.
float LeadingNumber(const std::string& value);
// The vector of a Position, Rotation, Scale or parameter element as the
// player reads it: x, y and z (the later of two), 0 where not given.
Vec3 VectorOf(const MarkedElement& element);

// The number the player reads from the attribute; reports a value that is
// not wholly a number, or whose number does not keep the rule as a float.
float CheckedNumber(const MarkedAttribute& attribute, SceneContext& context, NumberRule rule = NumberRule::kDrawable);
// A vector element (Position, Color, a parameter...): only x, y and z are
// read, each a number; reports anything else, and a name given twice.
void CheckVectorElement(const MarkedElement& element, SceneContext& context);
