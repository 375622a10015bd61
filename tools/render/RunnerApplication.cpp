// The timed application of a headless run and the back-buffer read-back
// (see RunnerApplication.h).
#include "RunnerApplication.h"

#include "gfx/recording/RecordingDevice.h"

#include <ctime>

namespace headless {
namespace {

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace

gfx::HRESULT RunnerApplication::advanceFrame() {
    const double begin = threadSeconds();
    const gfx::HRESULT hr = app::OrreryApplication::advanceFrame();
    advanceSeconds.push_back(threadSeconds() - begin);
    return hr;
}

gfx::HRESULT RunnerApplication::renderFrame() {
    const double begin = threadSeconds();
    const gfx::HRESULT hr = app::OrreryApplication::renderFrame();
    renderSeconds.push_back(threadSeconds() - begin);
    // Nobody reads a recording device's log in a run; kept, it would grow
    // by every call and vertex of every frame.
    if (auto* recording = dynamic_cast<gfx::RecordingDevice*>(device)) recording->clearLog();
    ++rendered;
    if (captureNextFrame) {
        captureNextFrame = false;
        captureError.clear();
        capturedImage = readBackBuffer(device, &captureError);
    }
    return hr;
}

QImage readBackBuffer(gfx::Device* device, std::string* error) {
    if (!device) {
        *error = "there is no device";
        return {};
    }
    gfx::Surface* surface = nullptr;
    if (gfx::FAILED(device->GetBackBuffer(0, gfx::D3DBACKBUFFER_TYPE_MONO, &surface)) || !surface) {
        *error = "the device gives no back buffer";
        return {};
    }
    gfx::D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    QImage::Format format = QImage::Format_Invalid;
    switch (desc.Format) {
    case gfx::D3DFMT_X8R8G8B8:
    case gfx::D3DFMT_A8R8G8B8: // the back buffer's alpha means nothing on screen
        format = QImage::Format_RGB32;
        break;
    case gfx::D3DFMT_R5G6B5:
        format = QImage::Format_RGB16;
        break;
    case gfx::D3DFMT_X1R5G5B5:
    case gfx::D3DFMT_A1R5G5B5:
        format = QImage::Format_RGB555;
        break;
    default:
        break;
    }
    QImage image;
    gfx::D3DLOCKED_RECT locked;
    if (format == QImage::Format_Invalid) {
        *error = "back-buffer format " + std::to_string(desc.Format) + " cannot be written";
    } else if (gfx::FAILED(surface->LockRect(&locked, nullptr, gfx::D3DLOCK_READONLY)) ||
               !locked.pBits) {
        *error = "the back buffer cannot be locked for reading";
    } else {
        // Rows run top-down in D3D's surface memory, as in QImage; the conversion
        // detaches the image from the locked memory.
        image = QImage(static_cast<const uchar*>(locked.pBits), int(desc.Width), int(desc.Height),
                       locked.Pitch, format)
                    .convertToFormat(QImage::Format_RGB888);
        // 96 dpi whatever the screen says (Qt takes the default from it), so
        // that the file is the same on every display and without one.
        constexpr int dotsPerMeterAt96Dpi = 3780;
        image.setDotsPerMeterX(dotsPerMeterAt96Dpi);
        image.setDotsPerMeterY(dotsPerMeterAt96Dpi);
        surface->UnlockRect();
    }
    surface->Release();
    return image;
}

} // namespace headless
