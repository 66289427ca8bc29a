#include "world/entity.h"

#include <utility>

void Triggerable::Trigger(std::string)
{
}

entity_base::entity_base(std::string entityName) : name(std::move(entityName))
{
    AddOwnedParam("Position", &Position);
    AddOwnedParam("Rotation", &Rotation);
    AddOwnedParam("Scale", &Scale);
}

int entity_base::AddParam(Param* param)
{
    if (!param) {
        return -1;
    }
    params.emplace(param->name, param);
    return 0;
}

Param* entity_base::GetParam(const std::string& paramName) const
{
    const auto found = params.find(paramName);
    return found == params.end() ? nullptr : found->second;
}

int entity_base::AddOwnedParam(const std::string& paramName, Vec3* value)
{
    ownedParams_.push_back(std::make_unique<Param>(Param{paramName, kParamVec3, value}));
    return AddParam(ownedParams_.back().get());
}

Light::Light(std::string lightName) : entity_base(std::move(lightName))
{
    AddOwnedParam("Color", &Color);
    AddOwnedParam("Cutoff", &Cutoff);
}
