// The full-screen cursor from the window icon.  The icon arrives as Win32's
// GetDIBits gives it: 32-bit rows, bottom-up; a monochrome icon has one mask
// of twice the height, AND half on top of the XOR half.
#include "framework/CursorFromIcon.h"

#include <cstring>
#include <vector>

namespace framework {
namespace {

// A 12 x 5 mark in the cursor's top-left corner: bit (15 - x) of row y.
constexpr uint16_t markPattern[5] = {0xCCC0, 0xA2A0, 0xA4A0, 0xA2A0, 0xCCC0};
constexpr uint32_t markColour = 0xFF808080;

} // namespace

gfx::HRESULT setCursorFromIcon(gfx::Device* device, const platform::IconImage& icon, bool addMark) {
    if (!device || icon.width <= 0 || icon.height <= 0) return gfx::E_FAIL;
    const size_t width = static_cast<size_t>(icon.width);
    const size_t cursorHeight = static_cast<size_t>(icon.height);
    // Height of the mask bitmap: both halves for a monochrome icon.
    const size_t maskHeight = icon.monochrome ? 2 * cursorHeight : cursorHeight;
    if (icon.mask.size() < width * maskHeight) return gfx::E_FAIL;
    if (!icon.monochrome && icon.colour.size() < width * cursorHeight) return gfx::E_FAIL;

    std::vector<uint32_t> pixels(width * cursorHeight);
    for (size_t y = 0; y < cursorHeight; ++y) {
        const uint32_t* colourRow;
        const uint32_t* maskRow = &icon.mask[(maskHeight - 1 - y) * width];
        if (icon.monochrome)
            colourRow = &icon.mask[(cursorHeight - 1 - y) * width]; // the XOR half
        else
            colourRow = &icon.colour[(cursorHeight - 1 - y) * width];
        for (size_t x = 0; x < width; ++x) {
            uint32_t& pixel = pixels[y * width + x];
            pixel = maskRow[x] != 0 ? 0u : (colourRow[x] | 0xFF000000u);
            if (addMark && x < 12 && y < 5 && (markPattern[y] >> (15 - x)) & 1u)
                pixel |= markColour;
        }
    }

    gfx::Surface* surface = nullptr;
    gfx::HRESULT hr = device->CreateImageSurface(static_cast<uint32_t>(width),
                                                 static_cast<uint32_t>(cursorHeight),
                                                 gfx::D3DFMT_A8R8G8B8, &surface);
    if (gfx::FAILED(hr)) return hr;
    if (!surface) return gfx::E_FAIL;

    gfx::D3DLOCKED_RECT locked;
    hr = surface->LockRect(&locked, nullptr, 0);
    if (gfx::SUCCEEDED(hr)) {
        auto* bits = static_cast<uint8_t*>(locked.pBits);
        for (size_t y = 0; y < cursorHeight; ++y)
            std::memcpy(bits + y * static_cast<size_t>(locked.Pitch), &pixels[y * width],
                        width * sizeof(uint32_t));
        surface->UnlockRect();
        hr = device->SetCursorProperties(static_cast<uint32_t>(icon.hotSpotX),
                                         static_cast<uint32_t>(icon.hotSpotY), surface);
    }
    surface->Release();
    return hr;
}

} // namespace framework
