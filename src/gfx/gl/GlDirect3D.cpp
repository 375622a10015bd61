// Adapter probing, enumeration answers and device creation over GL.
#include "gfx/gl/GlDirect3D.h"

#include "gfx/device/PixelFormat.h"
#include "gfx/gl/GlShaderSource.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gfx {

Direct3D* Direct3DCreate8(uint32_t sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return gl::GlDirect3D::create();
}

namespace gl {

namespace {

// The resolutions offered besides the screen's own, from 640 x 480 upward.
constexpr uint32_t commonSizes[][2] = {
    {640, 480},   {800, 600},   {1024, 768},  {1152, 864},  {1280, 720},  {1280, 800},
    {1280, 960},  {1280, 1024}, {1366, 768},  {1440, 900},  {1600, 900},  {1600, 1200},
    {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}, {2560, 1600}, {3840, 2160},
};

bool isBackBufferFormat(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5;
}

bool isTextureFormat(D3DFORMAT format) {
    return isColourFormat(format);
}

bool isSupportedDepth(D3DFORMAT format) {
    return format == D3DFMT_D16 || format == D3DFMT_D24S8 || format == D3DFMT_D24X8 ||
           format == D3DFMT_D32;
}

} // namespace

GlAdapter GlDirect3D::describeAdapter(const char* renderer, const char* vendor,
                                      const GlLimits& limits, uint32_t screenWidth,
                                      uint32_t screenHeight, uint32_t refreshRate) {
    GlAdapter adapter;
    std::snprintf(adapter.identifier.Description, sizeof adapter.identifier.Description, "%s",
                  renderer);
    std::snprintf(adapter.identifier.Driver, sizeof adapter.identifier.Driver, "%s", vendor);
    adapter.limits = limits;
    adapter.desktopMode = {screenWidth, screenHeight, refreshRate, D3DFMT_X8R8G8B8};

    std::vector<std::pair<uint32_t, uint32_t>> sizes;
    for (const auto& size : commonSizes)
        if (size[0] <= screenWidth && size[1] <= screenHeight) sizes.emplace_back(size[0], size[1]);
    if (std::find(sizes.begin(), sizes.end(), std::make_pair(screenWidth, screenHeight)) ==
        sizes.end())
        sizes.emplace_back(screenWidth, screenHeight);
    std::sort(sizes.begin(), sizes.end());
    for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5})
        for (const auto& [width, height] : sizes)
            adapter.modes.push_back({width, height, refreshRate, format});

    D3DCAPS8& caps = adapter.caps;
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.CursorCaps = D3DCURSORCAPS_COLOR;
    caps.DevCaps =
        D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE | D3DDEVCAPS_HWRASTERIZATION;
    caps.PrimitiveMiscCaps =
        D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_BLENDOP;
    // Any size is fine (no POW2), alpha and mip maps are.
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
    caps.MaxTextureWidth = caps.MaxTextureHeight = limits.maxTextureSize;
    caps.MaxTextureAspectRatio = limits.maxTextureSize;
    // The stages the fixed-function program evaluates (the program uses three).
    caps.MaxTextureBlendStages = uint32_t(shaderStageCount);
    caps.MaxSimultaneousTextures =
        std::min<uint32_t>(limits.textureUnits, uint32_t(shaderStageCount));
    caps.MaxActiveLights = D3DMAX_ACTIVE_LIGHTS;
    caps.MaxPointSize = limits.maxPointSize;
    caps.MaxPrimitiveCount = 0xFFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    return adapter;
}

GlDirect3D* GlDirect3D::create() {
    if (!QGuiApplication::instance()) return nullptr;
    // Probe the implementation with a throw-away off-screen context.
    std::unique_ptr<GlContext> probe = GlContext::create(nullptr);
    if (!probe) {
        // The message box the caller shows keeps its fixed text; what was
        // found instead goes to standard error for the user's bug report.
        std::fprintf(stderr, "orbivista: no OpenGL 3.3 core profile context; found %s\n",
                     GlContext::describeAvailable().c_str());
        return nullptr;
    }
    GlFunctions& gl = probe->functions();
    GlLimits limits;
    GLint value = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    limits.maxTextureSize = uint32_t(std::max(value, 0));
    value = 0;
    gl.glGetIntegerv(GL_MAX_SAMPLES, &value);
    limits.maxSamples = uint32_t(std::max(value, 0));
    value = 0;
    gl.glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &value);
    limits.textureUnits = uint32_t(std::max(value, 0));
    GLfloat pointRange[2] = {1, 1};
    // The core query: a core-profile context need not know the aliased one.
    gl.glGetFloatv(GL_POINT_SIZE_RANGE, pointRange);
    limits.maxPointSize = pointRange[1];
    const auto text = [&](GLenum name) {
        const GLubyte* string = gl.glGetString(name);
        return string ? reinterpret_cast<const char*>(string) : "";
    };
    const std::string renderer = text(GL_RENDERER), vendor = text(GL_VENDOR);
    limits.softwareRasteriser = renderer.find("llvmpipe") != std::string::npos ||
                                renderer.find("softpipe") != std::string::npos ||
                                renderer.find("Software Rasterizer") != std::string::npos;

    uint32_t width = 1024, height = 768, refresh = 60;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const qreal ratio = screen->devicePixelRatio();
        width = uint32_t(std::lround(screen->size().width() * ratio));
        height = uint32_t(std::lround(screen->size().height() * ratio));
        refresh = uint32_t(std::lround(screen->refreshRate()));
    }
    return new GlDirect3D(
        {describeAdapter(renderer.c_str(), vendor.c_str(), limits, width, height, refresh)});
}

const GlAdapter* GlDirect3D::find(uint32_t adapter, uint32_t deviceType) const {
    if (adapter >= adapters.size() || deviceType != D3DDEVTYPE_HAL) return nullptr;
    return &adapters[adapter];
}

HRESULT GlDirect3D::GetAdapterIdentifier(uint32_t adapter, uint32_t,
                                         D3DADAPTER_IDENTIFIER8* identifier) {
    if (adapter >= adapters.size() || !identifier) return D3DERR_INVALIDCALL;
    *identifier = adapters[adapter].identifier;
    return S_OK;
}

uint32_t GlDirect3D::GetAdapterModeCount(uint32_t adapter) {
    return adapter < adapters.size() ? uint32_t(adapters[adapter].modes.size()) : 0;
}

HRESULT GlDirect3D::EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) {
    if (adapter >= adapters.size() || !out || mode >= adapters[adapter].modes.size())
        return D3DERR_INVALIDCALL;
    *out = adapters[adapter].modes[mode];
    return S_OK;
}

HRESULT GlDirect3D::GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* mode) {
    if (adapter >= adapters.size() || !mode) return D3DERR_INVALIDCALL;
    *mode = adapters[adapter].desktopMode;
    return S_OK;
}

HRESULT GlDirect3D::CheckDeviceType(uint32_t adapter, uint32_t deviceType, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, int32_t windowed) {
    const GlAdapter* record = find(adapter, deviceType);
    if (!record) return adapter >= adapters.size() ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    if (displayFormat != D3DFMT_X8R8G8B8 && displayFormat != D3DFMT_R5G6B5)
        return D3DERR_NOTAVAILABLE;
    // A windowed device shows on the desktop, so it takes the desktop's format.
    if (windowed && displayFormat != record->desktopMode.Format) return D3DERR_NOTAVAILABLE;
    const bool matches = backBufferFormat == displayFormat ||
                         (displayFormat == D3DFMT_X8R8G8B8 && backBufferFormat == D3DFMT_A8R8G8B8);
    return matches && isBackBufferFormat(backBufferFormat) ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, D3DFORMAT,
                                      uint32_t usage, uint32_t resourceType,
                                      D3DFORMAT checkFormat) {
    if (!find(adapter, deviceType))
        return adapter >= adapters.size() ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
        return resourceType == D3DRTYPE_SURFACE && isSupportedDepth(checkFormat)
                   ? S_OK
                   : D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_RENDERTARGET)
        return isBackBufferFormat(checkFormat) ? S_OK : D3DERR_NOTAVAILABLE;
    if (resourceType == D3DRTYPE_TEXTURE || resourceType == D3DRTYPE_SURFACE)
        return isTextureFormat(checkFormat) ? S_OK : D3DERR_NOTAVAILABLE;
    return D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType,
                                               D3DFORMAT surfaceFormat, int32_t,
                                               D3DMULTISAMPLE_TYPE type) {
    const GlAdapter* record = find(adapter, deviceType);
    if (!record) return adapter >= adapters.size() ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    if (type == D3DMULTISAMPLE_NONE) return S_OK;
    if (!isBackBufferFormat(surfaceFormat) && !isSupportedDepth(surfaceFormat))
        return D3DERR_NOTAVAILABLE;
    return type >= 2 && type <= 16 && type <= record->limits.maxSamples ? S_OK
                                                                        : D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::CheckDepthStencilMatch(uint32_t adapter, uint32_t deviceType, D3DFORMAT,
                                           D3DFORMAT renderTargetFormat,
                                           D3DFORMAT depthStencilFormat) {
    if (!find(adapter, deviceType))
        return adapter >= adapters.size() ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    return isBackBufferFormat(renderTargetFormat) && isSupportedDepth(depthStencilFormat)
               ? S_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::GetDeviceCaps(uint32_t adapter, uint32_t deviceType, D3DCAPS8* caps) {
    if (!caps) return D3DERR_INVALIDCALL;
    const GlAdapter* record = find(adapter, deviceType);
    if (!record) return adapter >= adapters.size() ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    *caps = record->caps;
    caps->AdapterOrdinal = adapter;
    return S_OK;
}

HRESULT GlDirect3D::CreateDevice(uint32_t adapter, uint32_t deviceType, HWND focusWindow, uint32_t,
                                 D3DPRESENT_PARAMETERS* parameters, Device** device) {
    if (!parameters || !device) return D3DERR_INVALIDCALL;
    const GlAdapter* record = find(adapter, deviceType);
    if (!record) return adapter >= adapters.size() ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    // The platform's HWND is the client-area QWindow; none means off screen.
    HWND handle = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
    QWindow* window = reinterpret_cast<QWindow*>(handle);
    std::unique_ptr<GlContext> context = GlContext::create(window);
    if (!context) return D3DERR_NOTAVAILABLE;
    HRESULT status = S_OK;
    log.clear();
    GlDevice* created = GlDevice::create(std::move(context), *parameters, record->caps,
                                         record->limits, record->desktopMode, status, log);
    if (!created) {
        if (!log.empty()) std::fprintf(stderr, "gfx: device creation failed: %s\n", log.c_str());
        return status;
    }
    *parameters = created->presentParameters();
    *device = created;
    return S_OK;
}

} // namespace gl
} // namespace gfx
