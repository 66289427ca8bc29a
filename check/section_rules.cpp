#include "check/section_rules.h"

#include <algorithm>

#include "check/name_suggestion.h"

namespace {

std::vector<std::string> SectionNameList()
{
    return {kSectionNames.begin(), kSectionNames.end()};
}

int SectionIdOf(const std::string& name)
{
    const auto found = std::find(kSectionNames.begin(), kSectionNames.end(), name);
    return found == kSectionNames.end() ? -1 : static_cast<int>(found - kSectionNames.begin());
}

const MarkedElement* CheckRootAndScene(const MarkedDocument& document, SceneContext& context)
{
    if (!document.root) {
        context.Error({}, "no element: the scene is empty");
        return nullptr;
    }
    const MarkedElement& root = *document.root;
    if (root.name != "base") {
        context.Error(root.where, "the root element is '" + root.name + "', not 'base': the player finds no section");
        return nullptr;
    }
    const MarkedElement* scene = nullptr;
    for (const auto& child : root.children) {
        if (child->name != "scene") {
            context.Warning(child->where, "'" + child->name + "' in 'base' is ignored (only 'scene' is read)" +
                                              DidYouMean(child->name, {"scene"}));
        } else if (scene) {
            context.Error(child->where, "a second 'scene' is ignored (the first is at " + PlaceText(scene->where) + ")");
        } else {
            scene = child;
        }
    }
    if (!scene) {
        context.Error(root.where, "'base' holds no 'scene': the player finds no section");
    }
    return scene;
}

void FindSections(const MarkedElement& scene, SceneContext& context)
{
    for (const auto& child : scene.children) {
        const int id = SectionIdOf(child->name);
        if (id < 0) {
            context.Error(child->where, "unknown section '" + child->name + "' is ignored" +
                                            DidYouMean(child->name, SectionNameList()));
        } else if (const MarkedElement* first = context.sections[id]) {
            context.Error(child->where, "a second '" + child->name + "' section is ignored (the first is at " +
                                            PlaceText(first->where) + ")");
        } else {
            context.sections[id] = child;
        }
    }
}

// Elements named like a section that the player does not reach: a section
// swallowed by an element left open before it, or written at the wrong level.
void ReportMisplaced(const MarkedDocument& document, const MarkedElement* scene, SceneContext& context)
{
    for (const auto& element : document.elements) {
        const MarkedElement* parent = element->parent;
        const int id = SectionIdOf(element->name);
        if (id >= 0 && parent && parent != scene) {
            context.misplaced[id] = true;
            context.Error(element->where, "section '" + element->name + "' stands inside '" + parent->name +
                                              "' (at " + PlaceText(parent->where) +
                                              "): the player reads sections only in base::scene");
        }
    }
}

}  // namespace

void CheckSections(const MarkedDocument& document, SceneContext& context)
{
    const MarkedElement* scene = CheckRootAndScene(document, context);
    if (scene) {
        FindSections(*scene, context);
    }
    ReportMisplaced(document, scene, context);
    const TextPosition where = scene ? scene->where : TextPosition{};
    for (int id = 0; id < kSectionCount; ++id) {
        if (scene && !context.sections[id] && !context.misplaced[id]) {
            context.Warning(where, std::string("'scene' has no '") + kSectionNames[id] + "' section");
        }
    }
}
