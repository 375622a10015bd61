// The recording device: D3D state and resources in memory, every call logged.
//
// Index of this file:
//   - text helpers
//   - creation, scripting and inspection
//   - life: cooperative level, Reset, Present, back buffer, cursor
//   - resources
//   - drawing state
//   - draws
//   - state blocks
#include "gfx/recording/RecordingDevice.h"

#include "gfx/device/PixelFormat.h"
#include "gfx/device/StateNames.h"
#include "gfx/device/VertexFormat.h"
#include "gfx/recording/RecordingResources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gfx {

// ============================================================== text helpers
namespace {

std::string hexText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string floatText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(value));
    return text;
}

std::string colourText(const D3DCOLORVALUE& c) {
    return "(" + floatText(c.r) + ", " + floatText(c.g) + ", " + floatText(c.b) + ", " +
           floatText(c.a) + ")";
}

std::string vectorText(const D3DVECTOR& v) {
    return "(" + floatText(v.x) + ", " + floatText(v.y) + ", " + floatText(v.z) + ")";
}

std::string matrixText(const D3DMATRIX* m) {
    if (!m) return "null";
    std::string text = "{";
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            text += (r || c ? " " : "") + floatText(m->m[r][c]);
    return text + "}";
}

std::string lightText(const D3DLIGHT8* light) {
    if (!light) return "null";
    return "{type " + std::to_string(light->Type) + ", diffuse " + colourText(light->Diffuse) +
           ", ambient " + colourText(light->Ambient) + ", position " + vectorText(light->Position) +
           ", direction " + vectorText(light->Direction) + ", range " + floatText(light->Range) +
           "}";
}

std::string materialText(const D3DMATERIAL8* material) {
    if (!material) return "null";
    return "{diffuse " + colourText(material->Diffuse) + ", ambient " +
           colourText(material->Ambient) + ", specular " + colourText(material->Specular) +
           ", emissive " + colourText(material->Emissive) + ", power " +
           floatText(material->Power) + "}";
}

uint64_t bitsOf(float value) {
    return floatBits(value);
}

} // namespace

// ================================================ creation, scripting, inspection
RecordingDevice* RecordingDevice::create(const D3DPRESENT_PARAMETERS& parameters,
                                         const D3DCAPS8& caps) {
    return new RecordingDevice(parameters, caps);
}

D3DCAPS8 RecordingDevice::defaultCaps() {
    D3DCAPS8 caps;
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.CursorCaps = D3DCURSORCAPS_COLOR;
    caps.DevCaps =
        D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE | D3DDEVCAPS_HWRASTERIZATION;
    caps.PrimitiveMiscCaps =
        D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_BLENDOP;
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 16384;
    caps.MaxTextureBlendStages = 8;
    caps.MaxSimultaneousTextures = 8;
    caps.MaxActiveLights = 8;
    caps.MaxPointSize = 255.0f;
    caps.MaxPrimitiveCount = 0xFFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = maxStreams;
    caps.MaxStreamStride = 255;
    return caps;
}

RecordingDevice::RecordingDevice(const D3DPRESENT_PARAMETERS& requested, const D3DCAPS8& caps)
    : tracker(1, 1, false), registry(tracker), caps(caps) {
    displayMode = {1280, 1024, 60, D3DFMT_X8R8G8B8};
    adoptParameters(requested);
    tracker.reset(parameters.BackBufferWidth, parameters.BackBufferHeight,
                  parameters.EnableAutoDepthStencil != 0);
    createBackBuffer();
}

RecordingDevice::~RecordingDevice() {
    releaseAndNull(backBuffer);
}

void RecordingDevice::adoptParameters(const D3DPRESENT_PARAMETERS& requested) {
    parameters = requested;
    if (parameters.BackBufferWidth == 0) parameters.BackBufferWidth = windowWidth;
    if (parameters.BackBufferHeight == 0) parameters.BackBufferHeight = windowHeight;
    if (parameters.BackBufferFormat == D3DFMT_UNKNOWN)
        parameters.BackBufferFormat = displayMode.Format;
    if (parameters.BackBufferCount == 0) parameters.BackBufferCount = 1;
}

void RecordingDevice::createBackBuffer() {
    releaseAndNull(backBuffer);
    ImageMemory image;
    const D3DFORMAT format =
        isColourFormat(parameters.BackBufferFormat) ? parameters.BackBufferFormat : D3DFMT_X8R8G8B8;
    ImageMemory::create(parameters.BackBufferWidth, parameters.BackBufferHeight, 1, format, image);
    backBuffer = new RecordingSurface(*this, nullptr, std::move(image), D3DPOOL_DEFAULT,
                                      D3DUSAGE_RENDERTARGET, "BackBuffer");
}

void RecordingDevice::setWindowSize(uint32_t width, uint32_t height) {
    windowWidth = width;
    windowHeight = height;
}

void RecordingDevice::failNext(std::string_view name, HRESULT status) {
    failures.emplace_back(std::string(name), status);
}

bool RecordingDevice::consumeFailure(std::string_view name, HRESULT& status) {
    auto found = std::find_if(failures.begin(), failures.end(),
                              [&](const auto& failure) { return failure.first == name; });
    if (found == failures.end()) return false;
    status = found->second;
    failures.erase(found);
    return true;
}

std::vector<std::string> RecordingDevice::callTexts() const {
    std::vector<std::string> texts;
    for (const RecordedCall& call : log)
        texts.push_back(call.text);
    return texts;
}

std::vector<std::string> RecordingDevice::callNames() const {
    std::vector<std::string> names;
    for (const RecordedCall& call : log)
        names.push_back(call.name);
    return names;
}

size_t RecordingDevice::countCalls(std::string_view name) const {
    return size_t(std::count_if(log.begin(), log.end(),
                                [&](const RecordedCall& call) { return call.name == name; }));
}

void RecordingDevice::clearLog() {
    log.clear();
    drawLog.clear();
}

uint32_t RecordingDevice::idOf(const Unknown* object) {
    auto* recorded = dynamic_cast<const RecordedObject*>(object);
    return recorded ? recorded->id : 0;
}

std::string RecordingDevice::nameOf(const Unknown* object) const {
    if (!object) return "null";
    auto* recorded = dynamic_cast<const RecordedObject*>(object);
    return recorded ? recorded->name() : "?";
}

void RecordingDevice::record(std::string name, std::vector<uint64_t> args, std::string text,
                             HRESULT result) {
    log.push_back({std::move(name), std::move(args), std::move(text), result});
}

HRESULT RecordingDevice::logged(const char* name, std::vector<uint64_t> args, std::string text,
                                HRESULT result) {
    record(name, std::move(args), std::move(text), result);
    return result;
}

// Every Device call starts with this: a scripted failure ends it at once.
#define GFX_SCRIPTED_FAILURE(name, args, text)                                                     \
    do {                                                                                           \
        HRESULT scripted;                                                                          \
        if (consumeFailure(name, scripted)) return logged(name, args, text, scripted);             \
    } while (false)

// ============================================================== life
HRESULT RecordingDevice::TestCooperativeLevel() {
    GFX_SCRIPTED_FAILURE("TestCooperativeLevel", {}, "TestCooperativeLevel()");
    return logged("TestCooperativeLevel", {}, "TestCooperativeLevel()", cooperativeLevel);
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* requested) {
    std::vector<uint64_t> args;
    std::string text = "Reset(null)";
    if (requested) {
        args = {requested->BackBufferWidth, requested->BackBufferHeight,
                requested->BackBufferFormat, requested->MultiSampleType,
                uint64_t(requested->Windowed)};
        text = "Reset(" + std::to_string(requested->BackBufferWidth) + "x" +
               std::to_string(requested->BackBufferHeight) + ", format " +
               std::to_string(requested->BackBufferFormat) + ", multisample " +
               std::to_string(requested->MultiSampleType) + ", windowed " +
               std::to_string(requested->Windowed) + ")";
    }
    GFX_SCRIPTED_FAILURE("Reset", args, text);
    if (!requested) return logged("Reset", args, text, D3DERR_INVALIDCALL);
    if (cooperativeLevel == D3DERR_DEVICELOST)
        return logged("Reset", args, text, D3DERR_DEVICELOST);
    if (registry.defaultPoolCount() > 0 || tracker.stateBlockCount() > 0 || tracker.recording())
        return logged("Reset", args, text, D3DERR_INVALIDCALL);
    adoptParameters(*requested);
    *requested = parameters;
    tracker.reset(parameters.BackBufferWidth, parameters.BackBufferHeight,
                  parameters.EnableAutoDepthStencil != 0);
    createBackBuffer();
    sceneOpen = false;
    cooperativeLevel = S_OK;
    return logged("Reset", args, text, S_OK);
}

HRESULT RecordingDevice::Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                                 const void* dirtyRegion) {
    GFX_SCRIPTED_FAILURE("Present", {}, "Present()");
    if (source || dest || overrideWindow || dirtyRegion)
        return logged("Present", {}, "Present(non-null arguments)", D3DERR_INVALIDCALL);
    if (cooperativeLevel != S_OK) return logged("Present", {}, "Present()", D3DERR_DEVICELOST);
    ++presents;
    return logged("Present", {}, "Present()", S_OK);
}

HRESULT RecordingDevice::GetBackBuffer(uint32_t index, uint32_t type, Surface** surface) {
    const std::string text =
        "GetBackBuffer(" + std::to_string(index) + ", " + std::to_string(type) + ")";
    GFX_SCRIPTED_FAILURE("GetBackBuffer", (std::vector<uint64_t>{index, type}), text);
    if (!surface || index != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return logged("GetBackBuffer", {index, type}, text, D3DERR_INVALIDCALL);
    backBuffer->AddRef();
    *surface = backBuffer;
    return logged("GetBackBuffer", {index, type}, text, S_OK);
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS8* out) {
    GFX_SCRIPTED_FAILURE("GetDeviceCaps", {}, "GetDeviceCaps()");
    if (!out) return logged("GetDeviceCaps", {}, "GetDeviceCaps(null)", D3DERR_INVALIDCALL);
    *out = caps;
    return logged("GetDeviceCaps", {}, "GetDeviceCaps()", S_OK);
}

HRESULT RecordingDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
    GFX_SCRIPTED_FAILURE("GetDisplayMode", {}, "GetDisplayMode()");
    if (!mode) return logged("GetDisplayMode", {}, "GetDisplayMode(null)", D3DERR_INVALIDCALL);
    *mode = displayMode;
    return logged("GetDisplayMode", {}, "GetDisplayMode()", S_OK);
}

HRESULT RecordingDevice::SetCursorProperties(uint32_t hotSpotX, uint32_t hotSpotY, Surface* image) {
    const std::vector<uint64_t> args{hotSpotX, hotSpotY, idOf(image)};
    const std::string text = "SetCursorProperties(" + std::to_string(hotSpotX) + ", " +
                             std::to_string(hotSpotY) + ", " + nameOf(image) + ")";
    GFX_SCRIPTED_FAILURE("SetCursorProperties", args, text);
    D3DSURFACE_DESC desc;
    if (!image || FAILED(image->GetDesc(&desc)) || desc.Format != D3DFMT_A8R8G8B8 ||
        hotSpotX >= desc.Width || hotSpotY >= desc.Height)
        return logged("SetCursorProperties", args, text, D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked;
    if (FAILED(image->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return logged("SetCursorProperties", args, text, D3DERR_INVALIDCALL);
    cursorState.pixels.resize(size_t(desc.Width) * desc.Height);
    for (uint32_t y = 0; y < desc.Height; ++y)
        std::memcpy(&cursorState.pixels[size_t(y) * desc.Width],
                    static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
                    desc.Width * 4);
    image->UnlockRect();
    cursorState.hotSpotX = hotSpotX;
    cursorState.hotSpotY = hotSpotY;
    cursorState.imageId = idOf(image);
    cursorState.width = desc.Width;
    cursorState.height = desc.Height;
    return logged("SetCursorProperties", args, text, S_OK);
}

void RecordingDevice::SetCursorPosition(int32_t x, int32_t y, uint32_t flags) {
    cursorState.x = x;
    cursorState.y = y;
    record("SetCursorPosition", {uint64_t(int64_t(x)), uint64_t(int64_t(y)), flags},
           "SetCursorPosition(" + std::to_string(x) + ", " + std::to_string(y) + ", " +
               hexText(flags) + ")",
           S_OK);
}

int32_t RecordingDevice::ShowCursor(int32_t show) {
    const int32_t previous = cursorState.shown;
    cursorState.shown = show ? 1 : 0;
    record("ShowCursor", {uint64_t(show)}, "ShowCursor(" + std::to_string(show) + ")", S_OK);
    return previous;
}

// ================================================================ resources
HRESULT RecordingDevice::CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                            Surface** surface) {
    const std::vector<uint64_t> args{width, height, format};
    std::string text = "CreateImageSurface(" + std::to_string(width) + ", " +
                       std::to_string(height) + ", " + std::to_string(format) + ")";
    GFX_SCRIPTED_FAILURE("CreateImageSurface", args, text);
    ImageMemory image;
    if (!surface || !ImageMemory::create(width, height, 1, format, image))
        return logged("CreateImageSurface", args, text, D3DERR_INVALIDCALL);
    auto* created =
        new RecordingSurface(*this, &registry, std::move(image), D3DPOOL_SYSTEMMEM, 0, "Surface");
    *surface = created;
    return logged("CreateImageSurface", args, text + " -> " + created->name(), S_OK);
}

HRESULT RecordingDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels,
                                       uint32_t usage, D3DFORMAT format, uint32_t pool,
                                       Texture** texture) {
    const std::vector<uint64_t> args{width, height, levels, usage, format, pool};
    std::string text = "CreateTexture(" + std::to_string(width) + ", " + std::to_string(height) +
                       ", " + std::to_string(levels) + ", " + hexText(usage) + ", " +
                       std::to_string(format) + ", " + std::to_string(pool) + ")";
    GFX_SCRIPTED_FAILURE("CreateTexture", args, text);
    ImageMemory image;
    if (!texture || pool > D3DPOOL_SYSTEMMEM || width > caps.MaxTextureWidth ||
        height > caps.MaxTextureHeight ||
        !ImageMemory::create(width, height, levels, format, image))
        return logged("CreateTexture", args, text, D3DERR_INVALIDCALL);
    auto* created = new RecordingTexture(*this, &registry, std::move(image), usage, pool);
    *texture = created;
    return logged("CreateTexture", args, text + " -> " + created->name(), S_OK);
}

HRESULT RecordingDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf,
                                            uint32_t pool, VertexBuffer** buffer) {
    const std::vector<uint64_t> args{length, usage, fvf, pool};
    std::string text = "CreateVertexBuffer(" + std::to_string(length) + ", " + hexText(usage) +
                       ", " + hexText(fvf) + ", " + std::to_string(pool) + ")";
    GFX_SCRIPTED_FAILURE("CreateVertexBuffer", args, text);
    if (!buffer || length == 0 || pool > D3DPOOL_SYSTEMMEM)
        return logged("CreateVertexBuffer", args, text, D3DERR_INVALIDCALL);
    auto* created = new RecordingVertexBuffer(*this, &registry, length, usage, fvf, pool);
    *buffer = created;
    return logged("CreateVertexBuffer", args, text + " -> " + created->name(), S_OK);
}

HRESULT RecordingDevice::CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format,
                                           uint32_t pool, IndexBuffer** buffer) {
    const std::vector<uint64_t> args{length, usage, format, pool};
    std::string text = "CreateIndexBuffer(" + std::to_string(length) + ", " + hexText(usage) +
                       ", " + std::to_string(format) + ", " + std::to_string(pool) + ")";
    GFX_SCRIPTED_FAILURE("CreateIndexBuffer", args, text);
    if (!buffer || length == 0 || pool > D3DPOOL_SYSTEMMEM ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return logged("CreateIndexBuffer", args, text, D3DERR_INVALIDCALL);
    auto* created = new RecordingIndexBuffer(*this, &registry, length, usage, format, pool);
    *buffer = created;
    return logged("CreateIndexBuffer", args, text + " -> " + created->name(), S_OK);
}

// ============================================================ drawing state
HRESULT RecordingDevice::BeginScene() {
    GFX_SCRIPTED_FAILURE("BeginScene", {}, "BeginScene()");
    if (sceneOpen) return logged("BeginScene", {}, "BeginScene()", D3DERR_INVALIDCALL);
    sceneOpen = true;
    return logged("BeginScene", {}, "BeginScene()", S_OK);
}

HRESULT RecordingDevice::EndScene() {
    GFX_SCRIPTED_FAILURE("EndScene", {}, "EndScene()");
    if (!sceneOpen) return logged("EndScene", {}, "EndScene()", D3DERR_INVALIDCALL);
    sceneOpen = false;
    return logged("EndScene", {}, "EndScene()", S_OK);
}

HRESULT RecordingDevice::Clear(uint32_t rectCount, const RECT* rects, uint32_t flags,
                               D3DCOLOR colour, float z, uint32_t stencil) {
    const std::vector<uint64_t> args{rectCount, flags, colour, bitsOf(z), stencil};
    const std::string text = "Clear(" + std::to_string(rectCount) + ", " + hexText(flags) + ", " +
                             hexText(colour) + ", " + floatText(z) + ", " +
                             std::to_string(stencil) + ")";
    GFX_SCRIPTED_FAILURE("Clear", args, text);
    if (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL) && !parameters.EnableAutoDepthStencil)
        return logged("Clear", args, text, D3DERR_INVALIDCALL);
    // As Direct3D reads the pair: no rectangles clear the whole viewport,
    // rectangles with a count of 0 clear nothing.
    if (rects && rectCount == 0) return logged("Clear", args, text, S_OK);
    if (!rects) rectCount = 0;
    if (flags & D3DCLEAR_TARGET) {
        // Fill the back buffer's memory (32-bit formats), clipped to the viewport
        // and to each rectangle, so tests can read what a clear left.
        auto* surface = static_cast<RecordingSurface*>(backBuffer);
        ImageLevel& image = surface->image().level(0);
        if (bytesPerPixel(surface->image().format()) == 4) {
            const D3DVIEWPORT8& vp = tracker.current().viewport;
            auto fill = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
                left = std::max(left, int32_t(vp.X));
                top = std::max(top, int32_t(vp.Y));
                right = std::min(right, int32_t(vp.X + vp.Width));
                bottom = std::min(bottom, int32_t(vp.Y + vp.Height));
                for (int32_t y = top; y < bottom; ++y)
                    for (int32_t x = left; x < right; ++x)
                        std::memcpy(&image.bytes[size_t(y) * size_t(image.pitch) + size_t(x) * 4],
                                    &colour, 4);
            };
            if (rectCount == 0) fill(0, 0, int32_t(image.width), int32_t(image.height));
            for (uint32_t i = 0; i < rectCount; ++i)
                fill(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
        }
    }
    return logged("Clear", args, text, S_OK);
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT8* viewport) {
    std::vector<uint64_t> args;
    std::string text = "SetViewport(null)";
    if (viewport) {
        args = {viewport->X,
                viewport->Y,
                viewport->Width,
                viewport->Height,
                bitsOf(viewport->MinZ),
                bitsOf(viewport->MaxZ)};
        text = "SetViewport({" + std::to_string(viewport->X) + ", " + std::to_string(viewport->Y) +
               ", " + std::to_string(viewport->Width) + ", " + std::to_string(viewport->Height) +
               ", " + floatText(viewport->MinZ) + ", " + floatText(viewport->MaxZ) + "})";
    }
    GFX_SCRIPTED_FAILURE("SetViewport", args, text);
    return logged("SetViewport", args, text, tracker.setViewport(viewport));
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT8* viewport) {
    return logged("GetViewport", {}, "GetViewport()", tracker.getViewport(viewport));
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    const std::string text =
        "SetTransform(" + transformName(state) + ", " + matrixText(matrix) + ")";
    GFX_SCRIPTED_FAILURE("SetTransform", {state}, text);
    return logged("SetTransform", {state}, text, tracker.setTransform(state, matrix));
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    return logged("GetTransform", {state}, "GetTransform(" + transformName(state) + ")",
                  tracker.getTransform(state, matrix));
}

HRESULT RecordingDevice::SetLight(uint32_t index, const D3DLIGHT8* light) {
    const std::string text = "SetLight(" + std::to_string(index) + ", " + lightText(light) + ")";
    GFX_SCRIPTED_FAILURE("SetLight", {index}, text);
    return logged("SetLight", {index}, text, tracker.setLight(index, light));
}

HRESULT RecordingDevice::GetLight(uint32_t index, D3DLIGHT8* light) {
    return logged("GetLight", {index}, "GetLight(" + std::to_string(index) + ")",
                  tracker.getLight(index, light));
}

HRESULT RecordingDevice::LightEnable(uint32_t index, int32_t enable) {
    const std::string text =
        "LightEnable(" + std::to_string(index) + ", " + std::to_string(enable) + ")";
    GFX_SCRIPTED_FAILURE("LightEnable", (std::vector<uint64_t>{index, uint64_t(enable)}), text);
    return logged("LightEnable", {index, uint64_t(enable)}, text,
                  tracker.lightEnable(index, enable));
}

HRESULT RecordingDevice::GetLightEnable(uint32_t index, int32_t* enable) {
    return logged("GetLightEnable", {index}, "GetLightEnable(" + std::to_string(index) + ")",
                  tracker.getLightEnable(index, enable));
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL8* material) {
    const std::string text = "SetMaterial(" + materialText(material) + ")";
    GFX_SCRIPTED_FAILURE("SetMaterial", {}, text);
    return logged("SetMaterial", {}, text, tracker.setMaterial(material));
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL8* material) {
    return logged("GetMaterial", {}, "GetMaterial()", tracker.getMaterial(material));
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    const std::string text = "SetRenderState(" + renderStateName(state) + ", " +
                             renderStateValueText(state, value) + ")";
    GFX_SCRIPTED_FAILURE("SetRenderState", (std::vector<uint64_t>{state, value}), text);
    return logged("SetRenderState", {state, value}, text, tracker.setRenderState(state, value));
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) {
    return logged("GetRenderState", {state}, "GetRenderState(" + renderStateName(state) + ")",
                  tracker.getRenderState(state, value));
}

HRESULT RecordingDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                              uint32_t value) {
    const std::string text = "SetTextureStageState(" + std::to_string(stage) + ", " +
                             stageStateName(type) + ", " + std::to_string(value) + ")";
    GFX_SCRIPTED_FAILURE("SetTextureStageState", (std::vector<uint64_t>{stage, type, value}), text);
    return logged("SetTextureStageState", {stage, type, value}, text,
                  tracker.setTextureStageState(stage, type, value));
}

HRESULT RecordingDevice::GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                              uint32_t* value) {
    return logged("GetTextureStageState", {stage, type},
                  "GetTextureStageState(" + std::to_string(stage) + ", " + stageStateName(type) +
                      ")",
                  tracker.getTextureStageState(stage, type, value));
}

HRESULT RecordingDevice::SetTexture(uint32_t stage, Texture* texture) {
    const std::vector<uint64_t> args{stage, idOf(texture)};
    const std::string text = "SetTexture(" + std::to_string(stage) + ", " + nameOf(texture) + ")";
    GFX_SCRIPTED_FAILURE("SetTexture", args, text);
    return logged("SetTexture", args, text, tracker.setTexture(stage, texture));
}

HRESULT RecordingDevice::GetTexture(uint32_t stage, Texture** texture) {
    return logged("GetTexture", {stage}, "GetTexture(" + std::to_string(stage) + ")",
                  tracker.getTexture(stage, texture));
}

HRESULT RecordingDevice::SetVertexShader(uint32_t fvf) {
    const std::string text = "SetVertexShader(" + hexText(fvf) + ")";
    GFX_SCRIPTED_FAILURE("SetVertexShader", {fvf}, text);
    return logged("SetVertexShader", {fvf}, text, tracker.setVertexShader(fvf));
}

HRESULT RecordingDevice::GetVertexShader(uint32_t* fvf) {
    return logged("GetVertexShader", {}, "GetVertexShader()", tracker.getVertexShader(fvf));
}

HRESULT RecordingDevice::SetPixelShader(uint32_t handle) {
    const std::string text = "SetPixelShader(" + std::to_string(handle) + ")";
    GFX_SCRIPTED_FAILURE("SetPixelShader", {handle}, text);
    return logged("SetPixelShader", {handle}, text, tracker.setPixelShader(handle));
}

HRESULT RecordingDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
    const std::vector<uint64_t> args{stream, idOf(buffer), stride};
    const std::string text = "SetStreamSource(" + std::to_string(stream) + ", " + nameOf(buffer) +
                             ", " + std::to_string(stride) + ")";
    GFX_SCRIPTED_FAILURE("SetStreamSource", args, text);
    return logged("SetStreamSource", args, text, tracker.setStreamSource(stream, buffer, stride));
}

HRESULT RecordingDevice::SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) {
    const std::vector<uint64_t> args{idOf(buffer), baseVertexIndex};
    const std::string text =
        "SetIndices(" + nameOf(buffer) + ", " + std::to_string(baseVertexIndex) + ")";
    GFX_SCRIPTED_FAILURE("SetIndices", args, text);
    return logged("SetIndices", args, text, tracker.setIndices(buffer, baseVertexIndex));
}

// ==================================================================== draws
RecordedDraw& RecordingDevice::beginDraw(const char* name, D3DPRIMITIVETYPE type,
                                         uint32_t primitiveCount) {
    RecordedDraw draw;
    draw.callIndex = log.size() - 1;
    draw.name = name;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.state = tracker.current();
    for (uint32_t stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage)
        draw.textureIds[stage] = idOf(draw.state.textures[stage]);
    draw.streamId = idOf(draw.state.streams[0].buffer);
    draw.indicesId = idOf(draw.state.indices);
    drawLog.push_back(std::move(draw));
    return drawLog.back();
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                                       uint32_t primitiveCount) {
    const std::vector<uint64_t> args{type, startVertex, primitiveCount};
    const std::string text = "DrawPrimitive(" + primitiveName(type) + ", " +
                             std::to_string(startVertex) + ", " + std::to_string(primitiveCount) +
                             ")";
    GFX_SCRIPTED_FAILURE("DrawPrimitive", args, text);
    const DeviceState& state = tracker.current();
    const uint32_t count = vertexCountOf(type, primitiveCount);
    auto* buffer = dynamic_cast<RecordingVertexBuffer*>(state.streams[0].buffer);
    const uint32_t stride = state.streams[0].stride;
    if (!sceneOpen || count == 0 || !buffer || stride == 0 ||
        vertexLayoutOf(state.fvf).stride == 0 ||
        (uint64_t{startVertex} + count) * stride > buffer->memory().length())
        return logged("DrawPrimitive", args, text, D3DERR_INVALIDCALL);
    logged("DrawPrimitive", args, text, S_OK);
    RecordedDraw& draw = beginDraw("DrawPrimitive", type, primitiveCount);
    draw.startVertex = startVertex;
    draw.stride = stride;
    const uint8_t* first = buffer->memory().data() + size_t(startVertex) * stride;
    draw.vertices.assign(first, first + size_t(count) * stride);
    return S_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex,
                                              uint32_t vertexCount, uint32_t startIndex,
                                              uint32_t primitiveCount) {
    const std::vector<uint64_t> args{type, minIndex, vertexCount, startIndex, primitiveCount};
    const std::string text = "DrawIndexedPrimitive(" + primitiveName(type) + ", " +
                             std::to_string(minIndex) + ", " + std::to_string(vertexCount) + ", " +
                             std::to_string(startIndex) + ", " + std::to_string(primitiveCount) +
                             ")";
    GFX_SCRIPTED_FAILURE("DrawIndexedPrimitive", args, text);
    const DeviceState& state = tracker.current();
    const uint32_t indexCount = vertexCountOf(type, primitiveCount);
    auto* vertices = dynamic_cast<RecordingVertexBuffer*>(state.streams[0].buffer);
    auto* indexBuffer = dynamic_cast<RecordingIndexBuffer*>(state.indices);
    const uint32_t stride = state.streams[0].stride;
    auto refuse = [&] { return logged("DrawIndexedPrimitive", args, text, D3DERR_INVALIDCALL); };
    if (!sceneOpen || indexCount == 0 || !vertices || !indexBuffer || stride == 0 ||
        vertexLayoutOf(state.fvf).stride == 0)
        return refuse();
    const uint32_t indexSize = indexBuffer->format() == D3DFMT_INDEX32 ? 4 : 2;
    if ((uint64_t{startIndex} + indexCount) * indexSize > indexBuffer->memory().length())
        return refuse();
    const uint64_t first = uint64_t{state.baseVertexIndex} + minIndex;
    const uint64_t bufferVertices = vertices->memory().length() / stride;
    if (first + vertexCount > bufferVertices) return refuse();
    std::vector<uint32_t> indices(indexCount);
    const uint8_t* indexBytes = indexBuffer->memory().data() + size_t(startIndex) * indexSize;
    for (uint32_t i = 0; i < indexCount; ++i) {
        if (indexSize == 2) {
            uint16_t index;
            std::memcpy(&index, indexBytes + size_t(i) * 2, 2);
            indices[i] = index;
        } else {
            std::memcpy(&indices[i], indexBytes + size_t(i) * 4, 4);
        }
        // An index outside [minIndex, minIndex + vertexCount) reads vertices
        // the call did not declare: a fault in the caller.
        if (indices[i] < minIndex || indices[i] >= uint64_t{minIndex} + vertexCount)
            return refuse();
    }
    logged("DrawIndexedPrimitive", args, text, S_OK);
    RecordedDraw& draw = beginDraw("DrawIndexedPrimitive", type, primitiveCount);
    draw.minIndex = minIndex;
    draw.vertexCount = vertexCount;
    draw.startIndex = startIndex;
    draw.stride = stride;
    const uint8_t* firstByte = vertices->memory().data() + size_t(first) * stride;
    draw.vertices.assign(firstByte, firstByte + size_t(vertexCount) * stride);
    draw.indices = std::move(indices);
    return S_OK;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount,
                                         const void* vertexData, uint32_t stride) {
    const std::vector<uint64_t> args{type, primitiveCount, stride};
    const std::string text = "DrawPrimitiveUP(" + primitiveName(type) + ", " +
                             std::to_string(primitiveCount) + ", " + std::to_string(stride) + ")";
    GFX_SCRIPTED_FAILURE("DrawPrimitiveUP", args, text);
    const uint32_t count = vertexCountOf(type, primitiveCount);
    if (!sceneOpen || count == 0 || !vertexData || stride == 0 ||
        vertexLayoutOf(tracker.current().fvf).stride == 0)
        return logged("DrawPrimitiveUP", args, text, D3DERR_INVALIDCALL);
    logged("DrawPrimitiveUP", args, text, S_OK);
    RecordedDraw& draw = beginDraw("DrawPrimitiveUP", type, primitiveCount);
    draw.stride = stride;
    const auto* bytes = static_cast<const uint8_t*>(vertexData);
    draw.vertices.assign(bytes, bytes + size_t(count) * stride);
    // As in Direct3D, a user-pointer draw leaves stream 0 unset.
    tracker.setStreamSource(0, nullptr, 0);
    return S_OK;
}

// ============================================================= state blocks
HRESULT RecordingDevice::BeginStateBlock() {
    GFX_SCRIPTED_FAILURE("BeginStateBlock", {}, "BeginStateBlock()");
    return logged("BeginStateBlock", {}, "BeginStateBlock()", tracker.beginStateBlock());
}

HRESULT RecordingDevice::EndStateBlock(uint32_t* token) {
    GFX_SCRIPTED_FAILURE("EndStateBlock", {}, "EndStateBlock()");
    const HRESULT hr = tracker.endStateBlock(token);
    if (FAILED(hr)) return logged("EndStateBlock", {}, "EndStateBlock()", hr);
    return logged("EndStateBlock", {*token}, "EndStateBlock() -> " + std::to_string(*token), hr);
}

HRESULT RecordingDevice::ApplyStateBlock(uint32_t token) {
    const std::string text = "ApplyStateBlock(" + std::to_string(token) + ")";
    GFX_SCRIPTED_FAILURE("ApplyStateBlock", {token}, text);
    return logged("ApplyStateBlock", {token}, text, tracker.applyStateBlock(token));
}

HRESULT RecordingDevice::CaptureStateBlock(uint32_t token) {
    const std::string text = "CaptureStateBlock(" + std::to_string(token) + ")";
    GFX_SCRIPTED_FAILURE("CaptureStateBlock", {token}, text);
    return logged("CaptureStateBlock", {token}, text, tracker.captureStateBlock(token));
}

HRESULT RecordingDevice::DeleteStateBlock(uint32_t token) {
    const std::string text = "DeleteStateBlock(" + std::to_string(token) + ")";
    GFX_SCRIPTED_FAILURE("DeleteStateBlock", {token}, text);
    return logged("DeleteStateBlock", {token}, text, tracker.deleteStateBlock(token));
}

#undef GFX_SCRIPTED_FAILURE

} // namespace gfx
