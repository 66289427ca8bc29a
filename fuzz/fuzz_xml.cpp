// Fuzzing entry for the scene description reader: both scan paths over the
// same bytes must build the same tree, the checker's located tree built from
// the same scanner must hold the same element names and attribute values,
// and every path lookup must hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "check/diagnostics.h"
#include "check/marked_markup.h"
#include "fuzz/fuzz_support.h"
#include "scene/xml_reader.h"
#include "scene/xml_values.h"

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

// The same elements, nested alike, with the same names and attribute values
// in the same order. Walked with a list of pairs still to compare, so that
// deep nesting needs no deep stack.
bool SameAsChecker(const XMLTag* tree, const MarkedElement* marked)
{
    std::vector<std::pair<const XMLTag*, const MarkedElement*>> pending{{tree, marked}};
    while (!pending.empty()) {
        const auto [tag, element] = pending.back();
        pending.pop_back();
        if (!tag || !element) {
            if (tag != nullptr || element != nullptr) {
                return false;
            }
            continue;
        }
        if (tag->name != element->name || tag->attributes.size() != element->attributes.size()) {
            return false;
        }
        for (size_t i = 0; i < tag->attributes.size(); ++i) {
            if (tag->attributes[i].first != element->attributes[i].name ||
                tag->attributes[i].second != element->attributes[i].value) {
                return false;
            }
        }
        const auto& children = static_cast<const XMLTagExtended*>(tag)->children;
        if (children.size() != element->children.size()) {
            return false;
        }
        for (size_t i = 0; i < children.size(); ++i) {
            pending.emplace_back(children[i], element->children[i]);
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
    Diagnostics found;
    const MarkedDocument marked = ReadMarkedMarkup(std::string_view(bytes, size), "fuzz.xml", found);
    if (!SameAsChecker(fast.root, marked.root)) {
        std::abort();  // the checker reads another tree than the player
    }
    if (fast.root) {
        fast.FindTag(fast.root->name + "::scene::meshes");
        ReadVec3(fast.root);
        FirstValue(fast.root);
    }
    return 0;
}
