// Looking things up in the marked tree, and naming places.
#include "check/marked_markup.h"

const MarkedElement* MarkedElement::Child(std::string_view childName) const
{
    for (const auto& child : children) {
        if (child->name == childName) {
            return child;
        }
    }
    return nullptr;
}

const MarkedAttribute* MarkedElement::Attribute(std::string_view attributeName) const
{
    const MarkedAttribute* found = nullptr;
    for (const MarkedAttribute& attribute : attributes) {
        if (attribute.name == attributeName) {
            found = &attribute;
        }
    }
    return found;
}

std::string PlaceText(TextPosition where)
{
    return std::to_string(where.line) + ":" + std::to_string(where.column);
}
