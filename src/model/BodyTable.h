// The solar-system body table: the Sun, nine planets and 22 moons in one
// fixed table of 90 records, 10 planetary systems of 9 slots each.
//
// Body index = 9 * system + slot. System 0 is the Sun's; systems 1..9 are
// Mercury .. Pluto, and the system number is the planet index used by the
// menus, keys 1..9 and the tutorial texts. Slot 0 is the Sun or the planet,
// slots 1..8 its moons without gaps (at most 7 used; slot 8 is always empty).
//
// Units: lengths in thousands of km, masses in kg, rotation periods in hours
// (negative = retrograde), angles in radians.
#pragma once

#include "gfx/device/Types.h"

#include <cstdint>

namespace gfx {
class Texture;
}

namespace model {

constexpr int32_t systemCount = 10;
constexpr int32_t slotsPerSystem = 9;
constexpr int32_t bodyCount = systemCount * slotsPerSystem; // 90
constexpr int32_t sunIndex = 0;

constexpr int32_t bodyIndex(int32_t system, int32_t slot) {
    return slotsPerSystem * system + slot;
}

// Keplerian elements of a body's orbit around its parent; how they are used
// is in OrbitalMotion.h.
struct OrbitalElements {
    double semiMajorAxis = 0;      // thousands of km
    double eccentricity = 0;       // 0 .. below 0.25 in the table
    double inclination = 0;        // radians, against the parent's reference plane
    double meanAnomalyAtEpoch = 0; // radians, at simulation time 0
    double ascendingNode = 0;      // radians
    double periapsisArgument = 0;  // radians
};

// One body. The defaults are those of an empty slot; every body shares the
// bright material (diffuse and ambient 5.0) the lighting is tuned for.
struct Body {
    int32_t present = 0;
    const char* textureResource = nullptr;     // bitmap resource of the surface map
    const char* blurTextureResource = nullptr; // blurred copy; the nine planets only
    gfx::D3DMATERIAL8 material = {
        .Diffuse = {5.0f, 5.0f, 5.0f, 1.0f},
        .Ambient = {5.0f, 5.0f, 5.0f, 1.0f},
        .Specular = {},
        .Emissive = {},
        .Power = 0.0f,
    };
    gfx::Texture* texture = nullptr;     // loaded surface map, null while not loaded
    gfx::Texture* blurTexture = nullptr; // loaded blurred map, null while not loaded or none
    const char* name = nullptr;
    int32_t moonCount = 0; // meaningful on a system's slot 0
    int32_t parent = 0;    // -1 the Sun, 0 a planet, 1..9 a moon's planet index
    gfx::D3DVECTOR radius; // along the body's own axes; y is the polar axis
    float mass = 0;
    float rotationPeriod = 0;           // hours; 0 for moons (their spin follows the orbit)
    float poleRightAscension = 0;       // radians
    float poleDeclination = 1.5707964f; // radians; pi/2 = pole along the frame's y axis
    OrbitalElements orbit;
};

// Process-wide: every record starts in the default state before main runs;
// initBodyTable fills the 32 bodies, and afterwards only the texture slots
// change (as textures are loaded and released).
extern Body bodyTable[bodyCount];

// Writes the 32 bodies' constants over the default state. Allocates nothing;
// the text fields point to string literals. Leaves the texture slots alone.
void initBodyTable();

} // namespace model
