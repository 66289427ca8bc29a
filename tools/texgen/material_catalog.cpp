#include "tools/texgen/material_catalog.h"

#include "tools/texgen/materials.h"

const std::vector<MaterialKind>& MaterialCatalog()
{
    static const std::vector<MaterialKind> catalog = {
        {"metal", "brushed steel plates with seams and rivets", MakeMetalPlates},
        {"concrete", "weathered concrete with pits and a formwork joint", MakeConcrete},
        {"tiles", "glazed square tiles in grout", MakeTiles},
        {"panel", "dark panel with glowing light strips and lamps", MakeLightPanel},
        {"bricks", "red-brown bricks in running bond and grey mortar", MakeBricks},
        {"marble", "polished cream marble slabs with grey and gold veins", MakeMarble},
        {"hexplate", "dark gunmetal hexagonal plates with bolts", MakeHexPlates},
        {"testcard", "red, green, blue and white quarters (orientation check)", MakeTestCard},
    };
    return catalog;
}

const MaterialKind* FindMaterialKind(const std::string& name)
{
    for (const MaterialKind& kind : MaterialCatalog()) {
        if (kind.name == name) {
            return &kind;
        }
    }
    return nullptr;
}
