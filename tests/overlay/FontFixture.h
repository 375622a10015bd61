// A recording device and helpers to read back what TextFont drew: the
// glyph quads of each draw with their positions, colour and texture
// coordinates.
#pragma once

#include "gfx/recording/RecordingDevice.h"
#include "gfx/recording/RecordingResources.h"
#include "overlay/TextFont.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace fonttest {

using namespace gfx;

inline RecordingDevice* makeDevice(uint32_t maxTextureWidth = 16384) {
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = 800;
    parameters.BackBufferHeight = 600;
    parameters.Windowed = 1;
    D3DCAPS8 caps = RecordingDevice::defaultCaps();
    caps.MaxTextureWidth = caps.MaxTextureHeight = maxTextureWidth;
    return RecordingDevice::create(parameters, caps);
}

// The vertices of a text draw (a triangle list of FontVertex).
inline std::vector<overlay::FontVertex> fontVertices(const RecordedDraw& draw) {
    std::vector<overlay::FontVertex> vertices(draw.vertices.size() / sizeof(overlay::FontVertex));
    std::memcpy(vertices.data(), draw.vertices.data(),
                vertices.size() * sizeof(overlay::FontVertex));
    return vertices;
}

// Text draws only (the font's vertex format).
inline std::vector<RecordedDraw> textDraws(const RecordingDevice& device) {
    std::vector<RecordedDraw> kept;
    for (const RecordedDraw& draw : device.draws())
        if (draw.state.fvf == overlay::fontVertexFormat) kept.push_back(draw);
    return kept;
}

} // namespace fonttest
