#pragma once
// The scene description reader: a small XML subset of element names,
// attributes and nesting, read into a tree of element nodes. The markup
// rules are those of the scanner (scene/markup_scanner.h).

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <string>
#include <utility>
#include <vector>

#include "scene/markup_scanner.h"

// An element's lists live in the memory of the reader that made it, which
// releases it all at once with the tree; an element made by hand uses the
// ordinary heap.
class XMLTag {
public:
    explicit XMLTag(std::string tagName,
                    std::pmr::memory_resource* memory = std::pmr::get_default_resource());
    virtual ~XMLTag();  // writes "XMLTag dtor: " + name
    XMLTag(const XMLTag&) = delete;
    XMLTag& operator=(const XMLTag&) = delete;

    // Appends the pair after the existing attributes; returns 0.
    int AddAttribute(XMLAttribute attribute);

    std::string name;
    std::pmr::vector<XMLAttribute> attributes;  // document order; names may repeat
    bool isExtended = false;               // only extended nodes hold children
};

class XMLTagExtended final : public XMLTag {
public:
    explicit XMLTagExtended(std::string tagName,
                            std::pmr::memory_resource* memory = std::pmr::get_default_resource());
    ~XMLTagExtended() override;  // writes "XMLTagExtended dtor"

    std::pmr::vector<XMLTag*> children;  // document order; owned by the reader
};

// The children of an element that can hold them, or null.
XMLTagExtended* AsExtended(XMLTag* tag);

class XMLReader {
public:
    XMLReader();
    // Frees the whole tree. The first kMostReleaseLines elements write their
    // lines as they go; the rest are counted in one line, so that a scene of
    // a hundred thousand objects does not write a million lines.
    ~XMLReader();
    static constexpr size_t kMostReleaseLines = 1000;
    XMLReader(const XMLReader&) = delete;
    XMLReader& operator=(const XMLReader&) = delete;

    // 0 when the file was read and scanned; -1 when it cannot be opened,
    // when its bytes cannot be held in memory ("Alocate error!" is logged) or
    // when it is larger than kMaxFileBytes (a line says so, and nothing of it
    // is read). LastError() then says why.
    int Load(const std::string& fileName);
    const std::string& LastError() const { return lastError_; }
    // The one limit of a scene file's size, which the checker holds it to
    // too: far above any real scene, and low enough that the tree of the
    // largest file accepted fits in memory (a node takes up to some 20 times
    // the bytes of its markup).
    static constexpr size_t kMaxFileBytes = size_t{16} << 20;
    // How the bytes are scanned; both give the same tree.
    using ScanPath = ::ScanPath;
    // Scans bytes already in memory, replacing any earlier tree.
    void Parse(const char* bytes, size_t size, ScanPath path = ScanPath::kFast);
    // The element at a path of names joined by "::", starting at the root.
    XMLTag* FindTag(const std::string& path) const;

    XMLTag* root = nullptr;  // null when the file held no element

private:
    friend class XMLTreeBuilder;
    void Clear();
    XMLTagExtended* NewTag(std::string name);

    // Nodes are made in blocks, in creation order, so that a large scene
    // does not pay one allocation per element; blocks grow from small ones,
    // so that a small scene does not pay for a large block either.
    static constexpr size_t kFirstBlockNodes = 8;
    static constexpr size_t kLargestBlockNodes = 1024;
    struct NodeBlock;
    std::vector<std::unique_ptr<NodeBlock>> blocks_;
    size_t usedInLastBlock_ = 0;
    // The nodes' attribute and child lists.
    std::pmr::monotonic_buffer_resource lists_;
    std::string lastError_;
};
