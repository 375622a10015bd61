// Deterministic noise for the procedural maps: a counter-based random
// generator and 3D value noise with fractal sums.  Sampling the noise at
// points of the unit sphere gives maps without a seam at longitude 180
// and without pinching at the poles.
#pragma once

#include <cstdint>

namespace images {

// splitmix64: the same sequence on every platform and compiler.
class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t next();
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); } // [0, 1)
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    uint64_t state = 0;
};

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator*(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}
inline Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Value noise in [0, 1] with quintic interpolation between lattice values.
double valueNoise(const Vec3& p, uint32_t seed);

// Sum of octaves, each at twice the frequency and `gain` times the weight of
// the last, normalised to [0, 1].
double fractalNoise(const Vec3& p, uint32_t seed, int octaves, double gain = 0.5);

} // namespace images
