// fillMaterial and fillLight: every field the records have.
#include "gfx/device/Lighting.h"

#include <gtest/gtest.h>

using namespace gfx;

TEST(Lighting, MaterialSetsDiffuseAndAmbientOnly) {
    D3DMATERIAL8 material;
    material.Specular = {9, 9, 9, 9}; // leftovers must go
    material.Emissive = {9, 9, 9, 9};
    material.Power = 9;
    fillMaterial(material, 0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(material.Diffuse.r, 0.1f);
    EXPECT_EQ(material.Diffuse.a, 0.4f);
    EXPECT_EQ(material.Ambient.g, 0.2f);
    EXPECT_EQ(material.Ambient.a, 0.4f);
    EXPECT_EQ(material.Specular.r, 0.0f);
    EXPECT_EQ(material.Emissive.b, 0.0f);
    EXPECT_EQ(material.Power, 0.0f);
}

TEST(Lighting, LightIsWhiteWithNormalisedDirection) {
    D3DLIGHT8 light;
    light.Ambient = light.Specular = {9, 9, 9, 9}; // leftovers must go
    light.Falloff = light.Attenuation0 = light.Theta = light.Phi = 9;
    fillLight(light, D3DLIGHT_DIRECTIONAL, 3.0f, 0.0f, -4.0f);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_EQ(light.Diffuse.b, 1.0f);
    EXPECT_EQ(light.Diffuse.a, 0.0f);
    EXPECT_EQ(light.Ambient.r, 0.0f);
    EXPECT_EQ(light.Specular.g, 0.0f);
    EXPECT_EQ(light.Position.x, 3.0f);
    EXPECT_EQ(light.Position.z, -4.0f);
    EXPECT_FLOAT_EQ(light.Direction.x, 0.6f);
    EXPECT_FLOAT_EQ(light.Direction.z, -0.8f);
    EXPECT_EQ(light.Range, 1000.0f);
    EXPECT_EQ(light.Falloff, 0.0f);
    EXPECT_EQ(light.Attenuation0, 0.0f);
    EXPECT_EQ(light.Theta, 0.0f);
    EXPECT_EQ(light.Phi, 0.0f);
}
