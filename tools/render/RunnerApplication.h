// The application a headless run drives: the real OrreryApplication, with
// the two per-frame hooks timed (thread CPU time, so that the GL driver's
// own threads are not counted) and the back buffer read after the frame
// that asks for it.
#pragma once

#include "app/OrreryApplication.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace headless {

class RunnerApplication : public app::OrreryApplication {
public:
    using app::OrreryApplication::OrreryApplication;

    gfx::HRESULT advanceFrame() override;
    gfx::HRESULT renderFrame() override;

    // Frames drawn so far.
    int32_t framesRendered() const { return rendered; }
    // CPU seconds of each frame's advanceFrame and renderFrame, in order.
    const std::vector<double>& advanceTimes() const { return advanceSeconds; }
    const std::vector<double>& renderTimes() const { return renderSeconds; }
    // When set, the next renderFrame reads the back buffer into capturedImage
    // after the scene (and clears the request).
    bool captureNextFrame = false;
    QImage capturedImage;
    std::string captureError; // why the last capture failed

private:
    int32_t rendered = 0;
    std::vector<double> advanceSeconds, renderSeconds;
};

// Reads back buffer 0 of device into an image; an empty image and *error
// when the device will not give it.
QImage readBackBuffer(gfx::Device* device, std::string* error);

} // namespace headless
