#pragma once
// The scene description reader: a small XML subset of element names,
// attributes and nesting, read into a tree of element nodes.
//
// The format, as its writers know it:
// - An attribute value is a run of name characters (A-Z a-z 0-9 _ . - :).
//   Quotation marks are optional and dropped; a value cannot hold spaces,
//   slashes or other punctuation, and must not be empty.
// - Attributes are separated by at least one space. Tab, carriage return and
//   line feed are not separators.
// - An element without content is closed in its own markup by a slash, with a
//   space between the element name and the slash; a slash anywhere among the
//   attributes makes the element empty. A name followed directly by a slash is
//   an end tag. End tags are not matched against the element they close.
// - Before the root element only an XML declaration may stand; any other
//   markup there (a comment, a document type declaration) becomes the root.

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "render/math.h"

using XMLAttribute = std::pair<std::string, std::string>;

class XMLTag {
public:
    explicit XMLTag(std::string tagName);
    virtual ~XMLTag();  // writes "XMLTag dtor: " + name
    XMLTag(const XMLTag&) = delete;
    XMLTag& operator=(const XMLTag&) = delete;

    // Appends the pair after the existing attributes; returns 0.
    int AddAttribute(XMLAttribute attribute);

    std::string name;
    std::vector<XMLAttribute> attributes;  // document order; names may repeat
    bool isExtended = false;               // only extended nodes hold children
};

class XMLTagExtended : public XMLTag {
public:
    explicit XMLTagExtended(std::string tagName);
    ~XMLTagExtended() override;  // writes "XMLTagExtended dtor"

    std::vector<XMLTag*> children;  // document order; owned by the reader
};

// The children of an element that can hold them, or null.
XMLTagExtended* AsExtended(XMLTag* tag);

class XMLReader {
public:
    XMLReader() = default;
    ~XMLReader();  // frees the whole tree
    XMLReader(const XMLReader&) = delete;
    XMLReader& operator=(const XMLReader&) = delete;

    // 0 when the file was read and scanned; -1 when it cannot be opened, or
    // when its bytes cannot be held in memory ("Alocate error!" is logged).
    int Load(const std::string& fileName);
    // Scans bytes already in memory, replacing any earlier tree.
    void Parse(const char* bytes, size_t size);
    // The element at a path of names joined by "::", starting at the root.
    XMLTag* FindTag(const std::string& path) const;

    XMLTag* root = nullptr;  // null when the file held no element

private:
    friend class XMLScanner;
    void Clear();

    std::vector<std::unique_ptr<XMLTagExtended>> nodes_;  // creation order
};

// 1 when the two are equal byte for byte, else 0.
int NameEquals(const std::string& text, const char* literal);
// Stores the first count attribute values, converted to numbers, in order.
// -1 when the element or the array is null; else 0.
int ReadFloatList(const XMLTag* tag, float* values, unsigned count);
// x, y and z from the attributes named so; missing components stay 0.
Vec3 ReadVec3(const XMLTag* tag);
