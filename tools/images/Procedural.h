// Procedural surface maps, used where no real imagery is installed: rocky
// and icy cratered bodies, banded giants, an Earth with continents and ice
// caps, a dusty Mars, and cloud-covered worlds.  Every map is made from
// noise and features placed on the sphere (SphereMap.h), seeded, so the same
// seed always gives the same picture.
#pragma once

#include "SphereMap.h"

#include <vector>

namespace images {

struct CrateredStyle {
    Colour dark{};
    Colour light{};
    uint32_t seed = 1;
    int craters = 300;
    double largestCrater = 0.25; // angular radius of the largest crater, radians
    int basins = 0;              // large dark lava plains (maria)
    Colour basin{};
    int spots = 0; // dark volcanic spots with bright haloes
    Colour spot{};
    double lineae = 0; // strength of crossing dark stripes (cracked ice)
    Colour linea{};
};

struct Band {
    double latitude = 0; // degrees; the stops run from north to south
    Colour colour{};
};

struct Storm {
    double latitude = 0, longitude = 0; // degrees
    double width = 0, height = 0;       // degrees of longitude and latitude
    Colour colour{};
};

struct BandedStyle {
    std::vector<Band> bands{};
    double turbulence = 0.5; // how far the band edges wander, in degrees per unit of noise
    double streaks = 0.1;    // strength of the zonal streaks
    uint32_t seed = 1;
    std::vector<Storm> storms{};
};

struct CloudStyle {
    Colour dark{};
    Colour light{};
    double contrast = 0.5;
    uint32_t seed = 1;
};

QImage crateredMap(int width, int height, const CrateredStyle& style);
QImage bandedMap(int width, int height, const BandedStyle& style);
QImage terrestrialMap(int width, int height, uint32_t seed);
QImage martianMap(int width, int height, uint32_t seed);
QImage cloudMap(int width, int height, const CloudStyle& style);

} // namespace images
