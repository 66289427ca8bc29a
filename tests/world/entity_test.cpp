#include <gtest/gtest.h>

#include "world/entity.h"

TEST(EntityTest, TransformParametersAreFoundByExactName)
{
    entity_base entity("crate");
    EXPECT_EQ(entity.name, "crate");
    Param* position = entity.GetParam("Position");
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->value, &entity.Position);
    EXPECT_EQ(position->type, kParamVec3);
    EXPECT_EQ(entity.GetParam("Rotation")->value, &entity.Rotation);
    EXPECT_EQ(entity.GetParam("Scale")->value, &entity.Scale);
    EXPECT_EQ(entity.GetParam("position"), nullptr);
    EXPECT_EQ(entity.GetParam("Color"), nullptr);
    EXPECT_EQ(entity.params.size(), 3u);

    // Fresh entities are invisible: scale 0.
    EXPECT_EQ(entity.Scale.x + entity.Scale.y + entity.Scale.z, 0.0f);
    // The renderer's binding points at the live fields.
    EXPECT_EQ(entity.positionRef, &entity.Position);
    EXPECT_EQ(entity.meshDirtyRef, &entity.meshDirty);

    // Writing through a parameter is what the renderer sees.
    position->value->Set(1, 2, 3);
    EXPECT_EQ(entity.positionRef->y, 2.0f);
}

TEST(EntityTest, AddParamRefusesNullAndKeepsTheFirstOfAName)
{
    entity_base entity("crate");
    EXPECT_EQ(entity.AddParam(nullptr), -1);
    EXPECT_EQ(entity.params.size(), 3u);

    Vec3 extra;
    Param duplicate{"Position", kParamVec3, &extra};
    EXPECT_EQ(entity.AddParam(&duplicate), 0);
    EXPECT_EQ(entity.GetParam("Position")->value, &entity.Position);

    Param speed{"Speed", kParamVec3, &extra};
    EXPECT_EQ(entity.AddParam(&speed), 0);
    EXPECT_EQ(entity.GetParam("Speed"), &speed);
}

TEST(EntityTest, LightsAddColourAndCutoff)
{
    Light light("lamp");
    EXPECT_EQ(light.GetParam("Color")->value, &light.Color);
    EXPECT_EQ(light.GetParam("Cutoff")->value, &light.Cutoff);
    EXPECT_EQ(light.GetParam("Position")->value, &light.Position);
    EXPECT_EQ(light.colourRef, &light.Color);
    EXPECT_EQ(light.cutoffRef, &light.Cutoff);
    EXPECT_EQ(light.params.size(), 5u);
    light.Trigger("play");  // lights ignore events
}
