// The body table: layout by system and slot, presence and moon counts, the
// defaults of empty slots, and the constants other layers depend on.
#include "model/BodyTable.h"

#include <gtest/gtest.h>

#include <string>

using namespace model;

namespace {

class BodyTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initBodyTable(); }
};

void expectDefaultMaterial(const gfx::D3DMATERIAL8& material) {
    const float diffuse[4] = {material.Diffuse.r, material.Diffuse.g, material.Diffuse.b,
                              material.Diffuse.a};
    const float ambient[4] = {material.Ambient.r, material.Ambient.g, material.Ambient.b,
                              material.Ambient.a};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(diffuse[i], 5.0f);
        EXPECT_EQ(ambient[i], 5.0f);
    }
    EXPECT_EQ(diffuse[3], 1.0f);
    EXPECT_EQ(ambient[3], 1.0f);
    EXPECT_EQ(material.Specular.r + material.Specular.g + material.Specular.b, 0.0f);
    EXPECT_EQ(material.Emissive.r + material.Emissive.g + material.Emissive.b, 0.0f);
    EXPECT_EQ(material.Power, 0.0f);
}

} // namespace

TEST_F(BodyTableTest, SystemsHoldTheSunAndTheNinePlanetsInOrder) {
    const char* planets[] = {"Sol",     "Mercury", "Venus",  "Earth",   "Mars",
                             "Jupiter", "Saturn",  "Uranus", "Neptune", "Pluto"};
    for (int32_t system = 0; system < systemCount; ++system) {
        const Body& body = bodyTable[bodyIndex(system, 0)];
        ASSERT_EQ(body.present, 1) << system;
        EXPECT_EQ(std::string(body.name), planets[system]);
        EXPECT_EQ(body.parent, system == 0 ? -1 : 0);
        // Every planet has a blurred map, the Sun none.
        EXPECT_EQ(body.blurTextureResource != nullptr, system != 0) << body.name;
    }
}

TEST_F(BodyTableTest, MoonSlotsMatchMoonCountsWithoutGaps) {
    const int32_t expectedMoons[] = {0, 0, 0, 1, 2, 4, 7, 5, 2, 1};
    for (int32_t system = 0; system < systemCount; ++system) {
        const Body& planet = bodyTable[bodyIndex(system, 0)];
        EXPECT_EQ(planet.moonCount, expectedMoons[system]) << planet.name;
        for (int32_t slot = 1; slot < slotsPerSystem; ++slot) {
            const Body& moon = bodyTable[bodyIndex(system, slot)];
            EXPECT_EQ(moon.present, slot <= planet.moonCount ? 1 : 0)
                << planet.name << " slot " << slot;
            if (!moon.present) continue;
            EXPECT_EQ(moon.parent, system);
            EXPECT_EQ(moon.moonCount, 0);
            EXPECT_EQ(moon.blurTextureResource, nullptr) << moon.name;
            EXPECT_EQ(moon.rotationPeriod, 0.0f);
            EXPECT_EQ(moon.poleDeclination, 1.5707964f);
            EXPECT_GT(moon.orbit.semiMajorAxis, 0.0);
        }
    }
    EXPECT_EQ(bodyTable[bodyIndex(1, 1)].present, 0);
    EXPECT_EQ(bodyTable[bodyIndex(2, 1)].present, 0);
    EXPECT_EQ(std::string(bodyTable[bodyIndex(6, 7)].name), "Iapetus");
}

TEST_F(BodyTableTest, EmptySlotsAndEveryBodyKeepTheDefaults) {
    int present = 0;
    for (const Body& body : bodyTable) {
        expectDefaultMaterial(body.material);
        EXPECT_EQ(body.texture, nullptr);
        EXPECT_EQ(body.blurTexture, nullptr);
        if (body.present) {
            ++present;
            continue;
        }
        EXPECT_EQ(body.name, nullptr);
        EXPECT_EQ(body.textureResource, nullptr);
        EXPECT_EQ(body.poleRightAscension, 0.0f);
        EXPECT_EQ(body.poleDeclination, 1.5707964f);
        EXPECT_EQ(body.orbit.semiMajorAxis, 0.0);
        EXPECT_EQ(body.mass, 0.0f);
    }
    EXPECT_EQ(present, 32);
}

TEST_F(BodyTableTest, ConstantsOtherLayersRelyOn) {
    const Body& sun = bodyTable[sunIndex];
    EXPECT_EQ(std::string(sun.textureResource), "IDB_BMP_SUN");
    EXPECT_EQ(sun.poleRightAscension, 4.712389f);
    EXPECT_EQ(sun.orbit.semiMajorAxis, 0.0);
    EXPECT_EQ(sun.mass, 1.989e30f);

    const Body& earth = bodyTable[bodyIndex(3, 0)];
    EXPECT_LT(earth.radius.y, earth.radius.x); // oblate
    EXPECT_EQ(earth.radius.x, earth.radius.z);
    const Body& phobos = bodyTable[bodyIndex(4, 1)];
    EXPECT_EQ(std::string(phobos.name), "Phobos");
    EXPECT_EQ(phobos.orbit.eccentricity, 0.01510000042617321);
    EXPECT_EQ(phobos.orbit.eccentricity, static_cast<double>(0.0151f));
    EXPECT_NE(phobos.radius.x, phobos.radius.y); // triaxial
    EXPECT_EQ(bodyTable[bodyIndex(2, 0)].rotationPeriod, -108.0f);
    EXPECT_EQ(bodyTable[bodyIndex(8, 1)].mass, 0.0f); // Proteus

    int generic = 0;
    for (const Body& body : bodyTable)
        if (body.present && std::string(body.textureResource) == "IDB_BMP_GEN_MOON") ++generic;
    EXPECT_EQ(generic, 15);
}

TEST_F(BodyTableTest, InitialisingAgainKeepsLoadedTextures) {
    Body& earth = bodyTable[bodyIndex(3, 0)];
    auto* marker = reinterpret_cast<gfx::Texture*>(&earth);
    earth.texture = marker;
    initBodyTable();
    EXPECT_EQ(earth.texture, marker);
    earth.texture = nullptr;
}
