// Value noise over an integer lattice hashed with a seed.
#include "Noise.h"

#include <cmath>

namespace images {
namespace {

uint32_t hashLattice(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 13)) * 0xC2B2AE35u;
    h ^= static_cast<uint32_t>(y) * 0x27D4EB2Fu;
    h = (h ^ (h >> 15)) * 0x165667B1u;
    h ^= static_cast<uint32_t>(z) * 0x9E3779B1u;
    h = (h ^ (h >> 16)) * 0x85EBCA77u;
    return h ^ (h >> 13);
}

double latticeValue(int x, int y, int z, uint32_t seed) {
    return double(hashLattice(x, y, z, seed) & 0xFFFFFF) / double(0xFFFFFF);
}

double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

} // namespace

uint64_t Random::next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double valueNoise(const Vec3& p, uint32_t seed) {
    const double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    const int x = static_cast<int>(fx), y = static_cast<int>(fy), z = static_cast<int>(fz);
    const double tx = fade(p.x - fx), ty = fade(p.y - fy), tz = fade(p.z - fz);
    double plane[2];
    for (int k = 0; k < 2; ++k) {
        const double a =
            lerp(latticeValue(x, y, z + k, seed), latticeValue(x + 1, y, z + k, seed), tx);
        const double b =
            lerp(latticeValue(x, y + 1, z + k, seed), latticeValue(x + 1, y + 1, z + k, seed), tx);
        plane[k] = lerp(a, b, ty);
    }
    return lerp(plane[0], plane[1], tz);
}

double fractalNoise(const Vec3& p, uint32_t seed, int octaves, double gain) {
    double sum = 0, weight = 1, total = 0, frequency = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(p * frequency, seed + static_cast<uint32_t>(i) * 1013u);
        total += weight;
        weight *= gain;
        frequency *= 2.0;
    }
    return total > 0 ? sum / total : 0;
}

} // namespace images
