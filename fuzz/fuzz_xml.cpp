// Fuzzing entry for the scene description reader: both scan paths over the
// same bytes must build the same tree, and every path lookup must hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "scene/xml_reader.h"

namespace {

bool SameTree(const XMLTag* a, const XMLTag* b)
{
    if (!a || !b) {
        return a == b;
    }
    if (a->name != b->name || a->attributes.size() != b->attributes.size() ||
        a->isExtended != b->isExtended) {
        return false;
    }
    for (size_t i = 0; i < a->attributes.size(); ++i) {
        if (a->attributes[i] != b->attributes[i]) {
            return false;
        }
    }
    const auto* extendedA = static_cast<const XMLTagExtended*>(a);
    const auto* extendedB = static_cast<const XMLTagExtended*>(b);
    if (extendedA->children.size() != extendedB->children.size()) {
        return false;
    }
    for (size_t i = 0; i < extendedA->children.size(); ++i) {
        if (!SameTree(extendedA->children[i], extendedB->children[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietLogOnce();
    const char* bytes = reinterpret_cast<const char*>(data);
    XMLReader fast;
    fast.Parse(bytes, size, XMLReader::ScanPath::kFast);
    XMLReader byByte;
    byByte.Parse(bytes, size, XMLReader::ScanPath::kByteRules);
    if (!SameTree(fast.root, byByte.root)) {
        std::abort();  // the two scan paths disagree
    }
    if (fast.root) {
        fast.FindTag(fast.root->name + "::scene::meshes");
        ReadVec3(fast.root);
        FirstValue(fast.root);
    }
    return 0;
}
