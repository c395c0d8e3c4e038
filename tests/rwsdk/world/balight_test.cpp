// Lights as objects: defaults, the grey flag, the cone angle, and the light
// chunk reader.
#include <cmath>

#include "rwsdk/world/world_test_support.h"

namespace balight_test {

namespace {

using rwtest::WorldTest;

class LightTest : public WorldTest {};

TEST_F(LightTest, ColourAndConeAngle)
{
    RpLight *light = RpLightCreate(rpLIGHTAMBIENT);
    EXPECT_EQ(RpLightGetFlags(light), rpLIGHTLIGHTATOMICS | rpLIGHTLIGHTWORLD);
    EXPECT_NEAR(RpLightGetConeAngle(light), 3.14159265f, 1e-6f);
    const RwRGBAReal grey = {0.2f, 0.2f, 0.2f, 1.0f};
    RpLightSetColor(light, &grey);
    EXPECT_EQ(light->object.object.privateFlags & rpLIGHTPRIVATENOCHROMA, rpLIGHTPRIVATENOCHROMA);
    const RwRGBAReal warm = {1.0f, 0.5f, 0.2f, 1.0f};
    RpLightSetColor(light, &warm);
    EXPECT_EQ(light->object.object.privateFlags & rpLIGHTPRIVATENOCHROMA, 0);
    light->minusCosAngle = -1.0f;
    EXPECT_EQ(RpLightGetConeAngle(light), 0.0f);
    light->minusCosAngle = 0.0f;
    EXPECT_NEAR(RpLightGetConeAngle(light), 1.5707963f, 1e-6f);
    for (RwReal c : {-0.9f, -0.6f, -0.3f, 0.2f, 0.55f, 0.95f}) {
        light->minusCosAngle = c;
        EXPECT_NEAR(RpLightGetConeAngle(light), std::acos(-c), 2e-3f) << c;
    }
    RpLightDestroy(light);
}

TEST_F(LightTest, StreamReadTakesAShortStructOverZeros)
{
    std::vector<RwUInt8> bytes = rwtest::WrittenBy([](RwStream *s) {
        RwStreamWriteChunkHeaderDefault(s, rwID_STRUCT, 20);
        for (RwReal r : {5.0f, 0.5f, 0.5f, 0.5f, -0.5f}) {
            RwStreamWriteReal(s, r);
        }
        RwStreamWriteChunkHeaderDefault(s, rwID_EXTENSION, 0);
    });
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpLight *light = RpLightStreamRead(stream);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(RpLightGetType(light), 0);  // the type word was not there
    EXPECT_EQ(RpLightGetFlags(light), 0);
    EXPECT_EQ(RpLightGetRadius(light), 5.0f);
    EXPECT_EQ(RpLightGetColor(light)->alpha, 1.0f);
    EXPECT_EQ(light->minusCosAngle, -0.5f);
    RpLightDestroy(light);
}

}  // namespace

}  // namespace balight_test
