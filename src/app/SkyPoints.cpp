// The per-frame sky point list: the nine planets as seen from the selected
// one, then the catalogue stars that can be in view and are bright enough
// for the field of view, uploaded into a fresh point-list vertex buffer.
#include "app/OrreryApplication.h"
#include "app/SkyPointLimits.h"
#include "gfx/math/Math.h"
#include "model/OrbitalMotion.h"
#include "model/StarCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace app {

namespace {

constexpr double degreesPerRadian = 57.29577791868204;
constexpr int32_t lastZone = 17; // 18 declination zones of 10 degrees, 0 at the north pole
constexpr uint32_t pointRecordSize = sizeof(model::StarRecord); // 20 bytes, FVF 0x62
constexpr uint32_t pointVertexFormat = gfx::D3DFVF_XYZ | gfx::D3DFVF_PSIZE | gfx::D3DFVF_DIFFUSE;

} // namespace

SkyLimits skyLimits(double fieldOfView, int32_t backBufferDiagonal) {
    SkyLimits limits;
    limits.cosLimit = float(std::cos(fieldOfView));
    limits.sizeLimit = float(std::pow(float(fieldOfView), 0.7070000171661377) *
                             (500.0 / backBufferDiagonal) * 0.12f);
    return limits;
}

ZoneRange zoneRange(double e, double f) {
    ZoneRange range;
    range.first = int32_t((90 - (e + f) * degreesPerRadian) * 0.1);
    if (range.first < 0) range.first = 0;
    if (range.first > lastZone) // only for a field of view near zero
        range.first = lastZone;
    const int32_t c = int32_t((90 - (e - f) * degreesPerRadian) * (-0.1));
    range.last = 1 - c;
    if (range.last > lastZone) range.last = lastZone;
    return range;
}

bool OrreryApplication::indexCatalogue() {
    return starIndex.build(stars, model::starsLoaded, model::starZoneStart);
}

void OrreryApplication::selectSkyPoints() {
    const SkyLimits limits = skyLimits(fieldOfView, backBufferDiagonal);
    gfx::D3DXVECTOR3 sight;
    gfx::D3DXVec3Subtract(&sight, &lookAt, &eye);
    gfx::D3DXVECTOR3 v;
    gfx::D3DXVec3Normalize(&v, &sight);

    int32_t count = 0;
    const model::SimulationTime now{dayFraction, dayNumber};
    for (int32_t i = 1; i < model::systemCount; ++i)
        skyPoints[count++] = model::planetAsStar(i, planet, now);

    // The index is made when a catalogue is loaded; it is made again here
    // only for a zone table changed since, and without the memory for it
    // no stars are drawn.
    if (showStars && stars &&
        (starIndex.matches(stars, model::starsLoaded, model::starZoneStart) || indexCatalogue())) {
        const ZoneRange zones = zoneRange(std::asin(v.y), fieldOfView);
        // Entry z + 1 of the zone table ends zone z; entry 18 is the number
        // of stars loaded.  Indices are held within the loaded stars.
        const int32_t loaded = model::starsLoaded;
        model::StarSearch search;
        search.first = std::clamp(model::starZoneStart[zones.first], 0, loaded);
        search.end = std::clamp(model::starZoneStart[zones.last + 1], search.first, loaded);
        search.sizeLimit = limits.sizeLimit;
        search.cosLimit = limits.cosLimit;
        search.sightX = v.x;
        search.sightY = v.y;
        search.sightZ = v.z;
        count = starIndex.select(search, skyPoints.get(), count, skyPointCapacity);
    }

    pointCount = count;
    if (pointCount == 0) return; // the previous buffer stays

    // A fresh buffer of the exact size every frame.  When it cannot be made
    // or filled, pointBuffer stays null and no points are drawn this frame.
    gfx::releaseAndNull(pointBuffer);
    if (!device) return;
    const uint32_t length = uint32_t(pointCount) * pointRecordSize;
    gfx::VertexBuffer* buffer = nullptr;
    if (gfx::FAILED(device->CreateVertexBuffer(length,
                                               gfx::D3DUSAGE_WRITEONLY | gfx::D3DUSAGE_POINTS,
                                               pointVertexFormat, gfx::D3DPOOL_MANAGED, &buffer)) ||
        !buffer)
        return;
    uint8_t* data = nullptr;
    if (gfx::FAILED(buffer->Lock(0, length, &data, gfx::D3DLOCK_NOSYSLOCK)) || !data) {
        buffer->Release();
        return;
    }
    std::memcpy(data, skyPoints.get(), length);
    buffer->Unlock();
    pointBuffer = buffer;
}

} // namespace app
