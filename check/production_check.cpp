#include "check/production_check.h"

#include "check/behaviour_rules.h"
#include "check/camera_path_rules.h"
#include "check/entity_rules.h"
#include "check/file_checks.h"
#include "check/marked_markup.h"
#include "check/section_rules.h"
#include "core/file_read.h"
#include "core/stop_signals.h"
#include "core/stop_signals.h"
#include "scene/xml_reader.h"

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
    // The player's limit, applied the same way: from the size, unread.
    ReadAdmission admission;
    admission.maxBytes = XMLReader::kMaxFileBytes;
    if (!ReadWholeFile(path, bytes, &error, admission)) {
        if (bytes.fileSize > XMLReader::kMaxFileBytes) {
            found.Error(path, {}, "the scene is " + std::to_string(bytes.fileSize) + " bytes, more than the " +
                                      std::to_string(XMLReader::kMaxFileBytes) +
                                      " the player reads: nothing of it is loaded");
        } else {
            found.Error(path, {}, "the scene cannot be read: " + error);
        }
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

Diagnostics CheckSceneFile(const std::string& sceneFile, std::optional<double> musicSeconds)
{
    Diagnostics found;
    std::string text;
    if (ReadText(sceneFile, &text, found)) {
        CheckSceneText(sceneFile, text, musicSeconds, found);
    }
    return found;
}

int CheckProduction(const std::string& sceneFile, const std::string& musicFile, std::ostream& out,
                    const std::function<GraphicsFacts(Diagnostics&)>& graphicsChecks)
{
    Diagnostics found;
    found.PutFirst(sceneFile);
    const std::optional<double> musicSeconds = CheckMusic(musicFile, found);
    std::string text;
    const bool sceneRead = !StopRequested() && ReadText(sceneFile, &text, found);
    SceneContext context{sceneFile, found, musicSeconds};
    std::optional<MarkedDocument> document;
    if (sceneRead) {
        document = CheckScene(context, text);
    }
    if (graphicsChecks && !StopRequested()) {
        context.graphics = graphicsChecks(found);
    }
    if (sceneRead) {
        CheckMeshFiles(context);
        CheckMaterialFiles(context);
        CheckCameraPaths(context);
    }
    if (!StopRequested()) {
        CheckShaderFiles(found);
    }
    if (StopRequested()) {
        // The findings so far are not the production's: none is printed.
        out << "the check was stopped by " << StopSignalName() << " before it ended\n";
        return 1;
    }
    found.Print(out);
    return found.ErrorCount() == 0 ? 0 : 1;
}
