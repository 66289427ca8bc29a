#include "check/production_check.h"

#include "check/behaviour_rules.h"
#include "check/camera_path_rules.h"
#include "check/entity_rules.h"
#include "check/file_checks.h"
#include "check/marked_markup.h"
#include "check/section_rules.h"
#include "core/file_read.h"

namespace {

// The scene rules in the order the player loads the sections; the context
// keeps the tree's names for the file checks.
MarkedDocument CheckScene(SceneContext& context, std::string_view text)
{
    MarkedDocument document = ReadMarkedMarkup(text, context.file, context.found);
    CheckSections(document, context);
    CheckFileEntries(context);
    CheckObjects(context);
    CheckLights(context);
    CheckActors(context);
    CheckAutomations(context);
    CheckEventTriggers(context);
    return document;
}

bool ReadText(const std::string& path, std::string* text, Diagnostics& found)
{
    FileBytes bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, &error)) {
        found.Error(path, {}, "the scene cannot be read: " + error);
        return false;
    }
    text->assign(reinterpret_cast<const char*>(bytes.data.get()), bytes.size);
    return true;
}

}  // namespace

void CheckSceneText(const std::string& fileName, std::string_view text, std::optional<double> musicSeconds,
                    Diagnostics& found)
{
    SceneContext context{fileName, found, musicSeconds};
    CheckScene(context, text);
}

int PrintSceneFileCheck(const std::string& sceneFile, std::optional<double> musicSeconds, std::ostream& out)
{
    Diagnostics found;
    std::string text;
    if (ReadText(sceneFile, &text, found)) {
        CheckSceneText(sceneFile, text, musicSeconds, found);
    }
    found.Print(out);
    return found.ErrorCount();
}

int CheckProduction(const std::string& sceneFile, const std::string& musicFile, std::ostream& out,
                    const std::function<void(Diagnostics&)>& moreChecks)
{
    Diagnostics found;
    found.PutFirst(sceneFile);
    const std::optional<double> musicSeconds = CheckMusic(musicFile, found);
    std::string text;
    if (ReadText(sceneFile, &text, found)) {
        SceneContext context{sceneFile, found, musicSeconds};
        const MarkedDocument document = CheckScene(context, text);
        CheckMeshFiles(context);
        CheckMaterialFiles(context);
        CheckCameraPaths(context);
    }
    CheckShaderFiles(found);
    if (moreChecks) {
        moreChecks(found);
    }
    found.Print(out);
    return found.ErrorCount() == 0 ? 0 : 1;
}
