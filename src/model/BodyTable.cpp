// The constants of the 32 bodies and the table they are written into.
//
// Floats are the shortest decimals that reproduce the single-precision
// values; the orbital elements are the exact doubles the motion code uses
// (several are single-precision constants widened to double).
#include "model/BodyTable.h"

namespace model {

Body bodyTable[bodyCount];

namespace {

struct BodyConstants {
    int32_t index;
    const char* name;
    int32_t parent;
    int32_t moonCount;
    const char* textureResource;
    const char* blurTextureResource;
    gfx::D3DVECTOR radius; // thousands of km
    float mass;            // kg
    float rotationPeriod;  // hours
    float poleRightAscension;
    float poleDeclination;
    OrbitalElements orbit;
};

constexpr float halfPi = 1.5707964f;

// clang-format off
constexpr BodyConstants bodyConstants[] = {
    {0, "Sol", -1, 0, "IDB_BMP_SUN", nullptr, {695.0f, 695.0f, 695.0f}, 1.989e30f, 10.0f,
     4.712389f, 1.1615167f, {0, 0, 0, 0, 0, 0}},
    {9, "Mercury", 0, 0, "IDB_BMP_MERCURY", "IDB_BMP_BLUR_MERCURY", {2.44f, 2.44f, 2.44f},
     3.302e23f, 1407.5088f, 4.886922f, 1.0821042f,
     {57910.0, 0.20563068985939026, 0.12225804857631524, 4.402607821435134,
      0.8435467979611954, 1.3518701170255742}},
    {18, "Venus", 0, 0, "IDB_BMP_VENUS", "IDB_BMP_BLUR_VENUS", {6.052f, 6.052f, 6.052f},
     4.8685e24f, -108.0f, 1.6231563f, -1.1693707f,
     {108200.0, 0.00677323, 0.05924886829912663, 3.1761455487745995, 1.33833055044353,
      2.2956836398430664}},
    {27, "Earth", 0, 1, "IDB_BMP_EARTH", "IDB_BMP_BLUR_EARTH", {6.378f, 6.357f, 6.378f},
     5.9736e24f, 23.93419f, 0.0f, halfPi,
     {149600.0, 0.016710219904780388, 8.726646502812703e-07, 1.7534337371697029,
      -0.1965352493508657, 1.79676747117579}},
    {28, "Moon", 3, 0, "IDB_BMP_MOON", nullptr, {1.738f, 1.738f, 1.738f}, 7.35e22f, 0.0f,
     0.0f, halfPi,
     {384.0, 0.0549, 0.089804171, 2.0135060705795, 2.183804827, 5.551253554}},
    {36, "Mars", 0, 2, "IDB_BMP_MARS", "IDB_BMP_BLUR_MARS", {3.39f, 3.39f, 3.39f},
     6.4185e23f, 24.622963f, 5.585054f, 0.9773844f,
     {227940.0, 0.09341233223676682, 0.03229923856914044, 6.20383094378233,
      0.8653087854111193, 5.865019242376487}},
    {37, "Phobos", 4, 0, "IDB_BMP_GEN_MOON", nullptr, {0.0135f, 0.0108f, 0.0094f}, 1.08e16f,
     0.0f, 0.0f, halfPi, {9.0, 0.01510000042617321, 0.01884955644607544, 0, 0, 0}},
    {38, "Deimos", 4, 0, "IDB_BMP_GEN_MOON", nullptr, {0.0075f, 0.0061f, 0.0055f}, 1.8e15f,
     0.0f, 0.0f, halfPi, {23.0, 0.0003, 0.03124139448006948, 0, 0, 0}},
    {45, "Jupiter", 0, 4, "IDB_BMP_JUPITER", "IDB_BMP_BLUR_JUPITER", {71.492f, 66.854f, 71.492f},
     1.8986e27f, 9.894f, 4.694936f, 1.1170107f,
     {778330.0, 0.04839266091585159, 0.02278178336024284, 0.6004697248168788,
      1.7550359494676195, 0.2575032670110464}},
    {46, "Io", 5, 0, "IDB_BMP_IO", nullptr, {1.821f, 1.821f, 1.821f}, 8.94e22f, 0.0f, 0.0f,
     halfPi,
     {421.769, 0.04100000113248825, 0.000628318521154784, 4.180761806567509,
      6.247755297223728, 0.6757915051778157}},
    {47, "Europa", 5, 0, "IDB_BMP_EUROPA", nullptr, {1.569f, 1.569f, 1.569f}, 4.8e22f, 0.0f,
     0.0f, halfPi,
     {671.079, 0.010099999606609344, 0.008098327721583587, 5.1415655865271885,
      6.249151560664177, 3.9999456910292306}},
    {48, "Ganymede", 5, 0, "IDB_BMP_GANYMEDE", nullptr, {2.631f, 2.631f, 2.631f}, 1.48e23f,
     0.0f, 0.0f, halfPi,
     {1070.0, 0.0006, 0.0032463125760283282, 4.546233762105307, 6.257180075446764,
      5.161287807623546}},
    {49, "Callisto", 5, 0, "IDB_BMP_CALLISTO", nullptr, {2.4f, 2.4f, 2.4f}, 1.08e23f, 0.0f,
     0.0f, halfPi,
     {1883.0, 0.0074, 0.004904375130682463, 1.2744394552707672, 6.252118620475134,
      6.230476537148158}},
    {54, "Saturn", 0, 7, "IDB_BMP_SATURN", "IDB_BMP_BLUR_SATURN", {60.268f, 54.364f, 60.268f},
     5.6846e26f, 10.61f, 1.0471976f, 1.4835299f,
     {1426940.0, 0.0541506, 0.0433620083407561, 0.8716928509267171, 1.9847019122664133,
      1.6132417318983872}},
    {55, "Mimas", 6, 0, "IDB_BMP_GEN_MOON", nullptr, {0.199f, 0.199f, 0.199f}, 3.75e19f, 0.0f,
     0.0f, halfPi,
     {186.0, 0.0201, 0.02766347007970656, 3.7046359733740486, 2.319717173377673,
      2.4884905167420706}},
    {56, "Enceladus", 6, 0, "IDB_BMP_GEN_MOON", nullptr, {0.249f, 0.249f, 0.249f}, 7.3e19f,
     0.0f, 0.0f, halfPi, {238.0, 0.0048, 0.00027925268809000654, 0, 0, 0}},
    {57, "Tethys", 6, 0, "IDB_BMP_GEN_MOON", nullptr, {0.53f, 0.53f, 0.53f}, 6.22e20f, 0.0f,
     0.0f, halfPi,
     {295.0, 0.0001, 0.019024089958698198, 0.9089674997329712, 2.109754058519999,
      0.85870201587677}},
    {58, "Dione", 6, 0, "IDB_BMP_GEN_MOON", nullptr, {0.56f, 0.56f, 0.56f}, 1.05e21f, 0.0f,
     0.0f, halfPi,
     {377.0, 0.0021, 0.0003665191481767212, 5.062327636281649, 2.274513144493103,
      3.1644565548499424}},
    {59, "Rhea", 6, 0, "IDB_BMP_GEN_MOON", nullptr, {0.764f, 0.764f, 0.764f}, 2.31e21f, 0.0f,
     0.0f, halfPi,
     {527.0, 0.0002, 0.006056292722886288, 2.837207310994466, 2.267706360220909,
      3.672347381313642}},
    {60, "Titan", 6, 0, "IDB_BMP_TITAN", nullptr, {2.575f, 2.575f, 2.575f}, 1.35e23f, 0.0f,
     0.0f, halfPi,
     {1222.0, 0.02889999933540821, 0.0051487212077940825, 2.654296800295512,
      2.228436450958252, 3.6137043168147405}},
    {61, "Iapetus", 6, 0, "IDB_BMP_GEN_MOON", nullptr, {0.718f, 0.718f, 0.718f}, 1.59e21f, 0.0f,
     0.0f, halfPi,
     {3561.0, 0.0288, 0.13124876306940791, 3.598694484829903, 0.8377580642700195,
      5.641253365278245}},
    {63, "Uranus", 0, 5, "IDB_BMP_URANUS", "IDB_BMP_BLUR_URANUS", {25.559f, 24.973f, 25.559f},
     8.6832e25f, 17.24f, 1.3613569f, 0.27925268f,
     {2870990.0, 0.04716771, 0.013436592153310776, 5.466933016330799, 1.2955558454124132,
      2.9838889742040635}},
    {64, "Miranda", 7, 0, "IDB_BMP_GEN_MOON", nullptr, {0.236f, 0.236f, 0.236f}, 6.59e19f,
     0.0f, 0.0f, halfPi, {129.9, 0.0018, 0.07576474493741989, 0, 0, 0}},
    {65, "Ariel", 7, 0, "IDB_BMP_GEN_MOON", nullptr, {0.581f, 0.581f, 0.581f}, 1.35e21f, 0.0f,
     0.0f, halfPi,
     {190.9, 0.0034, 0.005410520873355769, 1.2990485984086992, 2.920808584491412,
      1.000946353872617}},
    {66, "Umbriel", 7, 0, "IDB_BMP_GEN_MOON", nullptr, {0.585f, 0.585f, 0.585f}, 1.17e21f,
     0.0f, 0.0f, halfPi,
     {266.0, 0.005, 0.006283185731696506, 3.9824923980236053, 2.9204595186313,
      5.928534568150838}},
    {67, "Titania", 7, 0, "IDB_BMP_GEN_MOON", nullptr, {0.789f, 0.789f, 0.789f}, 3.53e21f,
     0.0f, 0.0f, halfPi,
     {436.3, 0.0022, 0.001954768876967291, 0.9361946368217468, 2.919412321050962,
      3.6184167059262595}},
    {68, "Oberon", 7, 0, "IDB_BMP_GEN_MOON", nullptr, {0.761f, 0.761f, 0.761f}, 3.01e21f,
     0.0f, 0.0f, halfPi,
     {583.5, 0.0013, 0.0012042771872195306, 1.432915355761846, 2.922030315001805,
      4.486543500026067}},
    {72, "Neptune", 0, 2, "IDB_BMP_NEPTUNE", "IDB_BMP_BLUR_NEPTUNE", {24.766f, 24.342f, 24.766f},
     1.0243e26f, 16.7f, 5.305801f, 0.57595867f,
     {4504300.0, 0.00858587, 0.0308778423867623, 5.321160495153864, 2.298977250766158,
      0.7848981484085322}},
    {73, "Proteus", 8, 0, "IDB_BMP_GEN_MOON", nullptr, {0.209f, 0.209f, 0.209f}, 0.0f, 0.0f,
     0.0f, halfPi, {117.6, 0.0004, 0.0006806784272193908, 0, 0, 0}},
    {74, "Triton", 8, 0, "IDB_BMP_GEN_MOON", nullptr, {1.353f, 1.353f, 1.353f}, 2.15e22f, 0.0f,
     0.0f, halfPi,
     {354.8, 0.0, 2.7371999420722326, 0.20926498313744865, 3.638138927022616,
      0.3075270227591197}},
    {81, "Pluto", 0, 1, "IDB_BMP_PLUTO", "IDB_BMP_BLUR_PLUTO", {1.137f, 1.137f, 1.137f},
     1.27e22f, 165.27f, 5.449791f, -0.08726647f,
     {5913520.0, 0.2488076537847519, 0.2991799853791793, 4.170094528415402,
      1.925158781447212, 3.9107028151011467}},
    {82, "Charon", 9, 0, "IDB_BMP_CHARON", nullptr, {0.586f, 0.586f, 0.586f}, 1.9e21f, 0.0f,
     0.0f, halfPi, {19.66, 0.0072, 0, 0, 0, 0}},
};
// clang-format on

static_assert(sizeof bodyConstants / sizeof bodyConstants[0] == 32, "the model knows 32 bodies");

} // namespace

void initBodyTable() {
    for (const BodyConstants& constants : bodyConstants) {
        Body& body = bodyTable[constants.index];
        body.present = 1;
        body.name = constants.name;
        body.parent = constants.parent;
        body.moonCount = constants.moonCount;
        body.textureResource = constants.textureResource;
        body.blurTextureResource = constants.blurTextureResource;
        body.radius = constants.radius;
        body.mass = constants.mass;
        body.rotationPeriod = constants.rotationPeriod;
        body.poleRightAscension = constants.poleRightAscension;
        body.poleDeclination = constants.poleDeclination;
        body.orbit = constants.orbit;
    }
}

} // namespace model
