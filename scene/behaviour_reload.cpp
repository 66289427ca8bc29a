#include "scene/behaviour_reload.h"

#include "core/log.h"
#include "scene/behaviour_loader.h"
#include "scene/xml_reader.h"
#include "world/world.h"

int ReloadBehaviour(const std::string& fileName)
{
    XMLReader reader;
    if (reader.Load(fileName) != 0) {
        Problem(fileName, ": cannot be read; the show keeps its automations and events");
        return -1;
    }
    TheWorld().ClearAutomations();
    if (XMLTagExtended* automations = AsExtended(reader.FindTag("base::scene::automations"))) {
        LoadAutomations(automations);
    } else {
        Log(fileName, ": no automations found");
    }
    TheWorld().ClearEventTriggers();
    if (XMLTagExtended* triggers = AsExtended(reader.FindTag("base::scene::eventtrigger"))) {
        LoadEventTriggers(triggers);
    } else {
        Log(fileName, ": no event trigger found");
    }
    return 0;
}
