#include <gtest/gtest.h>

#include <memory>

#include "scene/xml_reader.h"

namespace {

std::unique_ptr<XMLTagExtended> MakeTag(std::vector<XMLAttribute> attributes)
{
    auto tag = std::make_unique<XMLTagExtended>("Position");
    for (XMLAttribute& attribute : attributes) {
        tag->AddAttribute(std::move(attribute));
    }
    return tag;
}

}  // namespace

TEST(XmlValuesTest, ReadVec3TakesNamedComponents)
{
    const auto tag =
        MakeTag({{"x", "1.5"}, {"y", "-2"}, {"z", "3e1"}, {"w", "9"}});
    const Vec3 v = ReadVec3(tag.get());
    EXPECT_FLOAT_EQ(v.x, 1.5f);
    EXPECT_FLOAT_EQ(v.y, -2.0f);
    EXPECT_FLOAT_EQ(v.z, 30.0f);

    // Missing components stay 0, the later of two equal names wins, text
    // that is not a number gives 0 and a leading number is taken.
    const auto partial = MakeTag({{"y", "4"}, {"y", "5.5abc"}, {"z", "abc"}, {"X", "7"}});
    const Vec3 p = ReadVec3(partial.get());
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_FLOAT_EQ(p.y, 5.5f);
    EXPECT_EQ(p.z, 0.0f);

    const Vec3 none = ReadVec3(nullptr);
    EXPECT_EQ(none.x + none.y + none.z, 0.0f);
}

TEST(XmlValuesTest, ReadFloatListTakesValuesInOrderUpToTheCount)
{
    const auto tag = MakeTag({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    float values[3] = {-1, -1, -1};
    EXPECT_EQ(ReadFloatList(tag.get(), values, 2), 0);
    EXPECT_EQ(values[0], 1.0f);
    EXPECT_EQ(values[1], 2.0f);
    EXPECT_EQ(values[2], -1.0f);  // beyond the count: untouched

    const auto shortTag = MakeTag({{"time", "0.25"}});
    float four[4] = {9, 9, 9, 9};
    EXPECT_EQ(ReadFloatList(shortTag.get(), four, 4), 0);
    EXPECT_EQ(four[0], 0.25f);
    EXPECT_EQ(four[1], 9.0f);  // fewer attributes than the count: untouched

    EXPECT_EQ(ReadFloatList(tag.get(), nullptr, 2), -1);
    EXPECT_EQ(ReadFloatList(nullptr, values, 2), -1);
}

TEST(XmlValuesTest, NameEqualsComparesWholeStringsExactly)
{
    EXPECT_EQ(NameEquals("Camera", "Camera"), 1);
    EXPECT_EQ(NameEquals("camera", "Camera"), 0);
    EXPECT_EQ(NameEquals("Camera2", "Camera"), 0);
    EXPECT_EQ(NameEquals("Cam", "Camera"), 0);
    EXPECT_EQ(NameEquals("", ""), 1);
    EXPECT_EQ(NameEquals(std::string("a\0b", 3), "a"), 0);
}
