#pragma once
// The scene reader's tree as text, for comparing two readings of a document.

#include <string>

#include "scene/xml_reader.h"

// Names, attributes and nesting, as <name a=1 b=2>children</>.
inline void DescribeTree(const XMLTag* tag, std::string& out)
{
    out += "<" + tag->name;
    for (const auto& [name, value] : tag->attributes) {
        out += " " + name + "=" + value;
    }
    out += ">";
    if (const XMLTagExtended* parent = dynamic_cast<const XMLTagExtended*>(tag)) {
        for (const XMLTag* child : parent->children) {
            DescribeTree(child, out);
        }
    }
    out += "</>";
}

// The tree the reader builds from the text; empty when it finds no root.
inline std::string TreeOf(const std::string& text, XMLReader::ScanPath path = XMLReader::ScanPath::kFast)
{
    XMLReader reader;
    reader.Parse(text.data(), text.size(), path);
    std::string out;
    if (reader.root) {
        DescribeTree(reader.root, out);
    }
    return out;
}
