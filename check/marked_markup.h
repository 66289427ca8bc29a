#pragma once
// The checker's reading of the scene text: the scene reader's scanner builds
// the same tree as the player's, with where every element and attribute
// stands, and its notes on the markup the reader reads differently from an
// ordinary XML reader become findings.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "check/diagnostics.h"

struct MarkedAttribute {
    std::string name;
    std::string value;
    TextPosition where;  // the attribute name (or its value, when it has no name)
};

struct MarkedElement {
    std::string name;
    TextPosition where;  // the '<' of its markup
    std::vector<MarkedAttribute> attributes;
    std::vector<MarkedElement*> children;  // owned by the document
    MarkedElement* parent = nullptr;
    bool fromComment = false;  // made of a comment or a declaration

    // The first child of that name, or null.
    const MarkedElement* Child(std::string_view childName) const;
    // The attribute of that name (the later of two), or null.
    const MarkedAttribute* Attribute(std::string_view attributeName) const;
};

// Owns its elements in one flat list, so that however deep the nesting,
// nothing walks it recursively.
struct MarkedDocument {
    MarkedElement* root = nullptr;  // null when the text holds no element
    std::vector<std::unique_ptr<MarkedElement>> elements;
};

// Reads the scene text; markup findings go to `found` under `fileName`.
MarkedDocument ReadMarkedMarkup(std::string_view text, const std::string& fileName, Diagnostics& found);

// The place as "LINE:COLUMN", for messages that point at another place.
std::string PlaceText(TextPosition where);
