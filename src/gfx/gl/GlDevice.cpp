// The GL device: life (Reset, Present), resources, and the draw path.
//
// Index of this file:
//   - creation and life
//   - cursor
//   - resources
//   - scene and clear
//   - bindings
//   - draw path
//   - draws
#include "gfx/gl/GlDevice.h"

#include "gfx/device/PixelFormat.h"
#include "gfx/device/StageCascade.h"
#include "gfx/gl/GlBuffer.h"
#include "gfx/gl/GlShaderSource.h"
#include "gfx/gl/GlSurface.h"
#include "gfx/gl/GlTexture.h"
#include "gfx/gl/GlTranslate.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace gfx::gl {

namespace {

// Whether a frame swapped into the window can reach the screen.  Qt's
// Wayland plugin reports a window embedded in a widget (a sub-surface) as
// exposed only briefly, if ever; it is shown whenever its top-level window
// is, so there the top-level's exposure stands for it.
bool isShown(const QWindow& window) {
    if (window.isExposed()) return true;
    if (!window.isVisible() || !QGuiApplication::platformName().startsWith(u"wayland"))
        return false;
    const QWindow* top = &window;
    while (top->parent())
        top = top->parent();
    return top != &window && top->isExposed();
}

// The window's client area in device pixels: what a swap fills.
struct PixelSize {
    GLint width = 0, height = 0;
};

PixelSize pixelSize(const QWindow& window) {
    const qreal ratio = window.devicePixelRatio();
    return {GLint(window.width() * ratio), GLint(window.height() * ratio)};
}

// Where the back buffer shows in a window of windowWidth x windowHeight
// pixels (top row 0).  Windowed: over the whole client area, stretched when
// it no longer matches (as Direct3D does until Reset).  Full screen: the
// largest centred rectangle of the back buffer's aspect, with black bars
// beside or above and below it, as a monitor shows a mode of another aspect
// than its own.
struct PresentArea {
    GLint x = 0, y = 0, width = 0, height = 0;
};

PresentArea presentArea(GLint bufferWidth, GLint bufferHeight, GLint windowWidth,
                        GLint windowHeight, bool fullScreen) {
    if (!fullScreen || bufferWidth <= 0 || bufferHeight <= 0)
        return {0, 0, windowWidth, windowHeight};
    // Compared as cross products: no rounding decides which side gets bars.
    const int64_t across = int64_t(windowWidth) * bufferHeight;
    const int64_t down = int64_t(windowHeight) * bufferWidth;
    PresentArea area{0, 0, windowWidth, windowHeight};
    if (across > down) // a wider window: bars left and right
        area.width = GLint((down + bufferHeight / 2) / bufferHeight);
    else if (across < down) // a taller window: bars above and below
        area.height = GLint((across + bufferWidth / 2) / bufferWidth);
    area.x = (windowWidth - area.width) / 2;
    area.y = (windowHeight - area.height) / 2;
    return area;
}

} // namespace

// ===================================================== creation and life
GlDevice* GlDevice::create(std::unique_ptr<GlContext> context,
                           const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS8& caps,
                           const GlLimits& limits, const D3DDISPLAYMODE& displayMode,
                           HRESULT& status, std::string& log) {
    auto* device = new GlDevice(std::move(context), caps, limits, displayMode);
    status = device->initialise(parameters, log);
    if (FAILED(status)) {
        device->Release();
        return nullptr;
    }
    return device;
}

GlDevice::GlDevice(std::unique_ptr<GlContext> context, const D3DCAPS8& caps, const GlLimits& limits,
                   const D3DDISPLAYMODE& displayMode)
    : context(std::move(context)), gl(this->context->functions()), cache(gl), backBuffer(gl),
      tracker(1, 1, false), registry(tracker), caps(caps), limits(limits),
      displayMode(displayMode) {}

GlDevice::~GlDevice() {
    makeCurrent();
    releaseAndNull(backBufferSurface);
    for (auto& [key, sampler] : samplers)
        gl.glDeleteSamplers(1, &sampler);
    if (vertexArray) gl.glDeleteVertexArrays(1, &vertexArray);
    if (streamBuffer) gl.glDeleteBuffers(1, &streamBuffer);
    if (streamIndexBuffer) gl.glDeleteBuffers(1, &streamIndexBuffer);
    pipeline.reset();
    backBuffer.destroy();
    if (cursorSet && context->window()) context->window()->unsetCursor();
}

bool GlDevice::adoptParameters(const D3DPRESENT_PARAMETERS& requested,
                               D3DPRESENT_PARAMETERS& out) const {
    out = requested;
    if (!out.hDeviceWindow && context->window())
        out.hDeviceWindow = reinterpret_cast<HWND>(context->window());
    if (out.BackBufferWidth == 0 || out.BackBufferHeight == 0) {
        QWindow* window = context->window();
        if (!window) return false;
        const qreal ratio = window->devicePixelRatio();
        if (out.BackBufferWidth == 0)
            out.BackBufferWidth = uint32_t(std::max(1.0, window->width() * ratio));
        if (out.BackBufferHeight == 0)
            out.BackBufferHeight = uint32_t(std::max(1.0, window->height() * ratio));
    }
    if (out.BackBufferFormat == D3DFMT_UNKNOWN) out.BackBufferFormat = displayMode.Format;
    if (out.BackBufferCount == 0) out.BackBufferCount = 1;
    const bool formatOk = out.BackBufferFormat == D3DFMT_X8R8G8B8 ||
                          out.BackBufferFormat == D3DFMT_A8R8G8B8 ||
                          out.BackBufferFormat == D3DFMT_R5G6B5;
    const bool samplesOk = out.MultiSampleType == D3DMULTISAMPLE_NONE ||
                           (out.MultiSampleType >= 2 && out.MultiSampleType <= 16 &&
                            out.MultiSampleType <= limits.maxSamples);
    const bool depthOk = !out.EnableAutoDepthStencil || isDepthFormat(out.AutoDepthStencilFormat);
    return formatOk && samplesOk && depthOk && out.BackBufferWidth <= limits.maxTextureSize &&
           out.BackBufferHeight <= limits.maxTextureSize;
}

HRESULT GlDevice::createBackBuffer() {
    releaseAndNull(backBufferSurface);
    const D3DFORMAT depth =
        parameters.EnableAutoDepthStencil ? parameters.AutoDepthStencilFormat : D3DFMT_UNKNOWN;
    if (!backBuffer.create(parameters.BackBufferWidth, parameters.BackBufferHeight,
                           parameters.BackBufferFormat, parameters.MultiSampleType, depth))
        return D3DERR_OUTOFVIDEOMEMORY;
    backBufferSurface =
        new GlBackBufferSurface(*this, parameters.BackBufferWidth, parameters.BackBufferHeight,
                                parameters.BackBufferFormat, parameters.MultiSampleType);
    windowHoldsBackBuffer = context->window() && context->hasClipControl() &&
                            windowBufferHolds(windowBuffers, parameters.BackBufferFormat, depth,
                                              parameters.MultiSampleType);
    frameTarget = FrameTarget::Undecided;
    cache.invalidate();
    layoutKnown = false;
    tracker.reset(parameters.BackBufferWidth, parameters.BackBufferHeight,
                  parameters.EnableAutoDepthStencil != 0);
    return S_OK;
}

void GlDevice::setFixedGlState() {
    // States no D3D state changes: set once per context.
    if (context->hasClipControl())
        context->clipControlFunction()(GL_LOWER_LEFT, 0x935F /* GL_ZERO_TO_ONE */);
    gl.glEnable(GL_SCISSOR_TEST); // Direct3D clips drawing and clears to the viewport
    gl.glEnable(GL_PROGRAM_POINT_SIZE);
    gl.glProvokingVertex(GL_FIRST_VERTEX_CONVENTION); // flat shading takes the first vertex
    // The back buffer is stored top row first (y down, as D3D's screen), so
    // D3D's clockwise front faces are counter-clockwise in GL's window
    // coordinates, and a sprite's top-left texel is at GL's lower left.
    gl.glFrontFace(GL_CCW);
    gl.glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    // Attributes a vertex format lacks read these: D3D's opaque white diffuse,
    // zero specular, zero normal, point size 1.
    QOpenGLFunctions& base = context->baseFunctions();
    base.glVertexAttrib4f(attributeDiffuse, 1, 1, 1, 1);
    base.glVertexAttrib4f(attributeSpecular, 0, 0, 0, 0);
    base.glVertexAttrib3f(attributeNormal, 0, 0, 0);
    base.glVertexAttrib1f(attributePointSize, 1);
    for (unsigned set = 0; set < unsigned(shaderTexCoordSets); ++set)
        base.glVertexAttrib2f(attributeTexCoord0 + set, 0, 0);
}

HRESULT GlDevice::initialise(const D3DPRESENT_PARAMETERS& requested, std::string& log) {
    if (!adoptParameters(requested, parameters)) return D3DERR_INVALIDCALL;
    makeCurrent();
    // The program of untextured screen-space quads in the default state is
    // built now: a driver that cannot compile our shaders fails creation,
    // with its log, rather than every draw.
    pipeline = std::make_unique<GlPipeline>(gl);
    DrawSetup setup;
    setup.layout = vertexLayoutOf(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    setup.zeroToOne = context->hasClipControl();
    if (!pipeline->program(programKeyOf(DeviceState::defaults(1, 1, false), setup), log))
        return D3DERR_NOTAVAILABLE;
    gl.glGenVertexArrays(1, &vertexArray);
    gl.glGenBuffers(1, &streamBuffer);
    gl.glGenBuffers(1, &streamIndexBuffer);
    setFixedGlState();
    if (context->window())
        windowBuffers = queryWindowBufferFormat(gl, context->defaultFramebuffer());
    context->setSwapInterval(
        glSwapInterval(parameters.FullScreen_PresentationInterval, parameters.Windowed != 0));
    return createBackBuffer();
}

void GlDevice::makeCurrent() {
    context->makeCurrent();
}

HRESULT GlDevice::TestCooperativeLevel() {
    return context->isValid() ? S_OK : D3DERR_DEVICELOST;
}

HRESULT GlDevice::Reset(D3DPRESENT_PARAMETERS* requested) {
    if (!requested) return D3DERR_INVALIDCALL;
    if (!context->isValid()) return D3DERR_DEVICELOST;
    if (registry.defaultPoolCount() > 0 || tracker.stateBlockCount() > 0 || tracker.recording())
        return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS adopted;
    if (!adoptParameters(*requested, adopted)) return D3DERR_INVALIDCALL;
    makeCurrent();
    const D3DPRESENT_PARAMETERS previous = parameters;
    parameters = adopted;
    const HRESULT hr = createBackBuffer();
    if (FAILED(hr)) {
        // Keep a working device on the old presentation.
        parameters = previous;
        createBackBuffer();
        return hr;
    }
    *requested = parameters;
    sceneOpen = false;
    // Between window and full screen the retrace wait and the cursor change.
    context->setSwapInterval(
        glSwapInterval(parameters.FullScreen_PresentationInterval, parameters.Windowed != 0));
    applyCursor();
    return S_OK;
}

HRESULT GlDevice::Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                          const void* dirtyRegion) {
    if (source || dest || overrideWindow || dirtyRegion) return D3DERR_INVALIDCALL;
    if (!context->isValid()) return D3DERR_DEVICELOST;
    makeCurrent();
    QWindow* window = context->window();
    if (window && isShown(*window)) {
        // A frame drawn into the window's back buffer is there already.
        if (frameTarget != FrameTarget::Window) copyBackBufferToWindow(*window);
        context->swapBuffers();
    } else {
        gl.glFlush();
    }
    frameTarget = FrameTarget::Undecided;
    cache.invalidate();
    return S_OK;
}

void GlDevice::copyBackBufferToWindow(const QWindow& window) {
    const GLuint image = backBuffer.resolve();
    const auto [width, height] = pixelSize(window);
    const GLint bw = GLint(backBuffer.width()), bh = GLint(backBuffer.height());
    const PresentArea area = presentArea(bw, bh, width, height, !parameters.Windowed);
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, image);
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, context->defaultFramebuffer());
    gl.glDisable(GL_SCISSOR_TEST);
    gl.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (area.width != width || area.height != height) {
        gl.glClearColor(0, 0, 0, 1); // the bars
        gl.glClear(GL_COLOR_BUFFER_BIT);
    }
    // Turned upright (the back buffer is stored top row first); GL's
    // window rows count from the bottom.
    const GLint top = height - area.y;
    gl.glBlitFramebuffer(0, 0, bw, bh, area.x, top, area.x + area.width, top - area.height,
                         GL_COLOR_BUFFER_BIT,
                         area.width == bw && area.height == bh ? GL_NEAREST : GL_LINEAR);
    gl.glEnable(GL_SCISSOR_TEST);
}

bool GlDevice::windowTakesFrame() const {
    const QWindow* window = context->window();
    if (!windowHoldsBackBuffer || !window || !isShown(*window)) return false;
    const PixelSize size = pixelSize(*window);
    return size.width == GLint(backBuffer.width()) && size.height == GLint(backBuffer.height());
}

GLuint GlDevice::frameFramebuffer() {
    if (frameTarget == FrameTarget::Undecided) {
        frameTarget = windowTakesFrame() ? FrameTarget::Window : FrameTarget::BackBuffer;
        const bool upsideDown = frameTarget == FrameTarget::Window;
        if (upsideDown != windowUpsideDown) {
            windowUpsideDown = upsideDown;
            context->clipControlFunction()(upsideDown ? GL_UPPER_LEFT : GL_LOWER_LEFT,
                                           0x935F /* GL_ZERO_TO_ONE */);
            gl.glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN,
                                 upsideDown ? GL_UPPER_LEFT : GL_LOWER_LEFT);
        }
    }
    return frameTarget == FrameTarget::Window ? context->defaultFramebuffer()
                                              : backBuffer.drawFramebuffer();
}

Rectangle GlDevice::onFrameTarget(Rectangle area) const {
    if (frameTarget == FrameTarget::Window)
        area.y = GLint(backBuffer.height()) - area.y - GLint(area.height);
    return area;
}

void GlDevice::readBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height) {
    makeCurrent();
    if (frameTarget == FrameTarget::Window)
        readWindowBuffer(gl, context->defaultFramebuffer(), backBuffer.width(), backBuffer.height(),
                         backBuffer.hasAlpha(), argb);
    else
        backBuffer.read(argb);
    width = backBuffer.width();
    height = backBuffer.height();
    cache.invalidate();
}

HRESULT GlDevice::GetBackBuffer(uint32_t index, uint32_t type, Surface** surface) {
    if (!surface || index != 0 || type != D3DBACKBUFFER_TYPE_MONO || !backBufferSurface)
        return D3DERR_INVALIDCALL;
    backBufferSurface->AddRef();
    *surface = backBufferSurface;
    return S_OK;
}

HRESULT GlDevice::GetDeviceCaps(D3DCAPS8* out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = caps;
    return S_OK;
}

HRESULT GlDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
    if (!mode) return D3DERR_INVALIDCALL;
    *mode = displayMode;
    // A full-screen device "is" in its mode: the back buffer's size and format.
    if (!parameters.Windowed)
        *mode = {parameters.BackBufferWidth, parameters.BackBufferHeight, displayMode.RefreshRate,
                 parameters.BackBufferFormat};
    return S_OK;
}

// =================================================================== cursor
// The device's cursor is the full-screen hardware cursor: it goes on the
// window while the presentation is full screen and shown; in a window, or
// hidden, the window shows the desktop's cursor again.
void GlDevice::applyCursor() {
    QWindow* window = context->window();
    if (!window || !cursorSet) return;
    if (cursorShown && !parameters.Windowed)
        window->setCursor(cursor);
    else
        window->unsetCursor();
}

HRESULT GlDevice::SetCursorProperties(uint32_t hotSpotX, uint32_t hotSpotY, Surface* image) {
    D3DSURFACE_DESC desc;
    if (!image || FAILED(image->GetDesc(&desc)) || desc.Format != D3DFMT_A8R8G8B8 ||
        hotSpotX >= desc.Width || hotSpotY >= desc.Height)
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked;
    if (FAILED(image->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return D3DERR_INVALIDCALL;
    QImage picture(int(desc.Width), int(desc.Height), QImage::Format_ARGB32);
    for (uint32_t y = 0; y < desc.Height; ++y)
        std::memcpy(picture.scanLine(int(y)),
                    static_cast<const uint8_t*>(locked.pBits) + size_t(y) * size_t(locked.Pitch),
                    desc.Width * 4);
    image->UnlockRect();
    cursor = QCursor(QPixmap::fromImage(picture), int(hotSpotX), int(hotSpotY));
    cursorSet = true;
    applyCursor();
    return S_OK;
}

void GlDevice::SetCursorPosition(int32_t x, int32_t y, uint32_t) {
    cursorX = x;
    cursorY = y;
}

int32_t GlDevice::ShowCursor(int32_t show) {
    const int32_t previous = cursorShown;
    cursorShown = show ? 1 : 0;
    applyCursor();
    return previous;
}

// ================================================================ resources
HRESULT GlDevice::CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                     Surface** surface) {
    ImageMemory image;
    if (!surface || !ImageMemory::create(width, height, 1, format, image))
        return D3DERR_INVALIDCALL;
    *surface = new GlImageSurface(*this, registry, std::move(image));
    return S_OK;
}

HRESULT GlDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                D3DFORMAT format, uint32_t pool, Texture** texture) {
    GlTextureFormat glFormat;
    ImageMemory image;
    if (!texture || pool > D3DPOOL_SYSTEMMEM || (usage & D3DUSAGE_DEPTHSTENCIL) ||
        width > caps.MaxTextureWidth || height > caps.MaxTextureHeight ||
        !glTextureFormatOf(format, glFormat) ||
        !ImageMemory::create(width, height, levels, format, image))
        return D3DERR_INVALIDCALL;
    makeCurrent();
    *texture = new GlTexture(*this, registry, std::move(image), usage, pool);
    return S_OK;
}

HRESULT GlDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                     VertexBuffer** buffer) {
    if (!buffer || length == 0 || pool > D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
    makeCurrent();
    *buffer = new GlVertexBuffer(*this, registry, length, usage, fvf, pool);
    return S_OK;
}

HRESULT GlDevice::CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format,
                                    uint32_t pool, IndexBuffer** buffer) {
    if (!buffer || length == 0 || pool > D3DPOOL_SYSTEMMEM ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    makeCurrent();
    *buffer = new GlIndexBuffer(*this, registry, length, usage, format, pool);
    return S_OK;
}

void GlDevice::forgetTexture(GLuint) {
    // GL unbinds a deleted name; the cache must not believe it still bound
    // when the name comes back for a new object.
    cache.invalidate();
}

void GlDevice::forgetBuffer(GLuint buffer) {
    cache.invalidate();
    layoutKnown = false;
    if (elementBuffer == buffer) elementBuffer = 0;
}

// ========================================================== scene and clear
HRESULT GlDevice::BeginScene() {
    if (sceneOpen) return D3DERR_INVALIDCALL;
    sceneOpen = true;
    return S_OK;
}

HRESULT GlDevice::EndScene() {
    if (!sceneOpen) return D3DERR_INVALIDCALL;
    sceneOpen = false;
    return S_OK;
}

HRESULT GlDevice::Clear(uint32_t rectCount, const RECT* rects, uint32_t flags, D3DCOLOR colour,
                        float z, uint32_t stencil) {
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !backBuffer.hasDepth())
        return D3DERR_INVALIDCALL;
    // Direct3D's reading of the pair: no rectangles clear the whole viewport
    // whatever the count says; rectangles with a count of 0 clear nothing.
    if (rects && rectCount == 0) return S_OK;
    if (!rects) rectCount = 0;
    makeCurrent();
    cache.bindFramebuffer(frameFramebuffer());
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        mask |= GL_COLOR_BUFFER_BIT;
        // Formats without alpha keep alpha 1, so destination alpha reads as 1.
        const float alpha = backBuffer.hasAlpha() ? float(colour >> 24) / 255.0f : 1.0f;
        gl.glClearColor(float((colour >> 16) & 0xFF) / 255.0f, float((colour >> 8) & 0xFF) / 255.0f,
                        float(colour & 0xFF) / 255.0f, alpha);
        cache.setColourMask(true, true, true, true);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        mask |= GL_DEPTH_BUFFER_BIT;
        gl.glClearDepth(z);
        DepthState depth = {false, GL_LEQUAL, true};
        cache.setDepth(depth);
    }
    if (flags & D3DCLEAR_STENCIL) {
        mask |= GL_STENCIL_BUFFER_BIT;
        gl.glClearStencil(GLint(stencil));
        gl.glStencilMask(0xFFFFFFFF);
    }
    // The clear covers the viewport, intersected with each rectangle.
    const D3DVIEWPORT8& vp = tracker.current().viewport;
    const int32_t targetHeight = int32_t(backBuffer.height());
    auto clearArea = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
        left = std::max(left, int32_t(vp.X));
        top = std::max(top, int32_t(vp.Y));
        right = std::min(right, int32_t(vp.X + vp.Width));
        bottom = std::min(bottom, int32_t(vp.Y + vp.Height));
        if (left >= right || top >= bottom) return;
        cache.setScissor(onFrameTarget({left, top, right - left, bottom - top}));
        GL_CHECK(gl, glClear(mask));
    };
    if (rectCount == 0) clearArea(0, 0, int32_t(backBuffer.width()), targetHeight);
    for (uint32_t i = 0; i < rectCount; ++i)
        clearArea(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
    return S_OK;
}

// ================================================================= bindings
HRESULT GlDevice::SetTexture(uint32_t stage, Texture* texture) {
    if (texture && !dynamic_cast<GlTexture*>(texture)) return D3DERR_INVALIDCALL;
    return tracker.setTexture(stage, texture);
}

HRESULT GlDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
    if (buffer && !dynamic_cast<GlVertexBuffer*>(buffer)) return D3DERR_INVALIDCALL;
    return tracker.setStreamSource(stream, buffer, stride);
}

HRESULT GlDevice::SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) {
    if (buffer && !dynamic_cast<GlIndexBuffer*>(buffer)) return D3DERR_INVALIDCALL;
    return tracker.setIndices(buffer, baseVertexIndex);
}

// ================================================================ draw path
void GlDevice::applyRenderStates(bool pretransformed) {
    const DeviceState& state = tracker.current();
    const auto rs = [&](D3DRENDERSTATETYPE type) { return state.renderStates[type]; };
    BlendState blend;
    blend.enable = rs(D3DRS_ALPHABLENDENABLE) != 0;
    blend.source = glBlendFactor(rs(D3DRS_SRCBLEND), true);
    blend.destination = glBlendFactor(rs(D3DRS_DESTBLEND), false);
    if (rs(D3DRS_SRCBLEND) == D3DBLEND_BOTHSRCALPHA ||
        rs(D3DRS_SRCBLEND) == D3DBLEND_BOTHINVSRCALPHA)
        blend.destination = glBlendFactor(rs(D3DRS_SRCBLEND), false);
    blend.equation = glBlendEquation(rs(D3DRS_BLENDOP));
    cache.setBlend(blend);

    // D3D's front faces are GL's (glFrontFace above): CULL_CCW culls GL's
    // back faces, CULL_CW its front faces.
    const uint32_t cull = rs(D3DRS_CULLMODE);
    cache.setCull(cull == D3DCULL_CW || cull == D3DCULL_CCW,
                  cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
    cache.setPolygonMode(glPolygonMode(rs(D3DRS_FILLMODE)));

    DepthState depth;
    depth.test = backBuffer.hasDepth() && rs(D3DRS_ZENABLE) != D3DZB_FALSE;
    depth.function = glCompareFunction(rs(D3DRS_ZFUNC));
    depth.write = rs(D3DRS_ZWRITEENABLE) != 0;
    cache.setDepth(depth);
    // Direct3D does not clip pre-transformed vertices at z 0 and 1 while no
    // depth test is in effect; GL would clip them at its near and far
    // planes, so depth clamping keeps them.  Transformed vertices are
    // clipped at z 0 and w by both, depth test or not.
    cache.setDepthClamp(pretransformed && !depth.test);

    const uint32_t write = rs(D3DRS_COLORWRITEENABLE);
    cache.setColourMask(write & 1, write & 2, write & 4, (write & 8) && backBuffer.hasAlpha());

    const D3DVIEWPORT8& vp = state.viewport;
    // Rows count from the top in the back buffer, as in D3D.
    const Rectangle area{GLint(vp.X), GLint(vp.Y), GLsizei(vp.Width), GLsizei(vp.Height)};
    cache.setViewport(onFrameTarget(area));
    cache.setScissor(onFrameTarget(area));
    cache.setDepthRange(vp.MinZ, vp.MaxZ);
}

GLuint GlDevice::samplerFor(uint32_t stage) {
    const auto& s = tracker.current().stageStates[stage];
    // MIPMAPLODBIAS holds a float's bits; one that is not a finite number
    // biases nothing, and -0 keys as 0.
    const float bias = bitsFloat(s[D3DTSS_MIPMAPLODBIAS]);
    const float lodBias = std::isfinite(bias) && bias != 0.0f ? bias : 0.0f;
    const auto key = std::make_tuple(
        glMinFilter(s[D3DTSS_MINFILTER], s[D3DTSS_MIPFILTER]), glMagFilter(s[D3DTSS_MAGFILTER]),
        glAddressMode(s[D3DTSS_ADDRESSU]), glAddressMode(s[D3DTSS_ADDRESSV]), s[D3DTSS_BORDERCOLOR],
        floatBits(lodBias));
    auto found = samplers.find(key);
    if (found != samplers.end()) return found->second;
    GLuint sampler = 0;
    gl.glGenSamplers(1, &sampler);
    gl.glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GLint(std::get<0>(key)));
    gl.glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GLint(std::get<1>(key)));
    gl.glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GLint(std::get<2>(key)));
    gl.glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GLint(std::get<3>(key)));
    const D3DCOLOR border = std::get<4>(key);
    const float colour[4] = {float((border >> 16) & 0xFF) / 255.0f,
                             float((border >> 8) & 0xFF) / 255.0f, float(border & 0xFF) / 255.0f,
                             float(border >> 24) / 255.0f};
    gl.glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, colour);
    gl.glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, lodBias);
    samplers.emplace(key, sampler);
    return sampler;
}

void GlDevice::bindTextures() {
    const DeviceState& state = tracker.current();
    const uint32_t stages = activeStageCount(state, shaderStageCount);
    for (uint32_t stage = 0; stage < stages; ++stage) {
        auto* texture = static_cast<GlTexture*>(state.textures[stage]);
        if (!texture || !stageReadsTexture(state, stage)) continue;
        // MAXMIPLEVEL: the most detailed level mip-mapping may select, the
        // smallest level at most.  Without mip-mapping level 0 is sampled.
        // The level is the texture's own (GL's base level), so one texture
        // on two stages of one draw takes the later stage's.
        const auto& s = state.stageStates[stage];
        const uint32_t lastLevel = texture->GetLevelCount() - 1;
        const bool mipMapped = s[D3DTSS_MIPFILTER] != D3DTEXF_NONE;
        texture->useBaseLevel(stage, mipMapped ? std::min(s[D3DTSS_MAXMIPLEVEL], lastLevel) : 0);
        cache.bindTexture(stage, texture->name());
        cache.bindSampler(stage, samplerFor(stage));
    }
}

void GlDevice::bindVertexLayout(const VertexLayout& layout, GLuint buffer, uint32_t stride,
                                size_t base) {
    cache.bindVertexArray(vertexArray);
    const auto key = std::make_tuple(buffer, tracker.current().fvf, stride, base);
    if (layoutKnown && key == layoutKey) return;
    cache.bindArrayBuffer(buffer);
    auto attribute = [&](GLuint location, int offset, GLint size, GLenum type, bool normalise) {
        if (offset < 0) {
            GL_CHECK(gl, glDisableVertexAttribArray(location));
            return;
        }
        GL_CHECK(gl, glEnableVertexAttribArray(location));
        GL_CHECK(gl, glVertexAttribPointer(location, size, type, normalise ? GL_TRUE : GL_FALSE,
                                           GLsizei(stride),
                                           reinterpret_cast<const void*>(base + size_t(offset))));
    };
    attribute(attributePosition, layout.position, layout.pretransformed ? 4 : 3, GL_FLOAT, false);
    attribute(attributeNormal, layout.normal, 3, GL_FLOAT, false);
    attribute(attributePointSize, layout.pointSize, 1, GL_FLOAT, false);
    // D3DCOLOR is B, G, R, A in memory: GL's BGRA size reads it as RGBA.
    attribute(attributeDiffuse, layout.diffuse, GL_BGRA, GL_UNSIGNED_BYTE, true);
    attribute(attributeSpecular, layout.specular, GL_BGRA, GL_UNSIGNED_BYTE, true);
    for (uint32_t set = 0; set < uint32_t(shaderTexCoordSets); ++set)
        attribute(attributeTexCoord0 + set, set < layout.texCoordCount ? layout.texCoord[set] : -1,
                  2, GL_FLOAT, false);
    layoutKey = key;
    layoutKnown = true;
}

bool GlDevice::outOfView(D3DPRIMITIVETYPE type, const VertexLayout& layout, GlVertexBuffer& buffer,
                         uint32_t stride) {
    if (layout.pretransformed || layout.position != 0) return false;
    if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP && type != D3DPT_TRIANGLEFAN)
        return false; // points and lines reach past their vertices
    const DeviceState& state = tracker.current();
    return outsideView(buffer.bounds(stride), state.transform(D3DTS_WORLD),
                       state.transform(D3DTS_VIEW), state.transform(D3DTS_PROJECTION),
                       state.viewport);
}

const std::vector<uint8_t>*
GlDevice::trianglesThatMayDraw(const VertexLayout& layout, GlVertexBuffer& vertices,
                               GlIndexBuffer& indices, uint32_t stride, uint32_t startIndex,
                               uint32_t triangleCount, uint64_t highest) {
    // A draw within a square of twice this side is small: most of its
    // triangles hold no pixel centre.  Above it most of those facing the eye
    // draw, and testing costs more than the rasteriser's own culling.
    constexpr double smallExtent = 32;
    const DeviceState& state = tracker.current();
    if (!limits.softwareRasteriser || layout.pretransformed || layout.position != 0 ||
        state.renderStates[D3DRS_FILLMODE] != D3DFILL_SOLID)
        return nullptr; // lines and points reach past a triangle's pixel centres
    SmallDraw draw;
    draw.world = state.transform(D3DTS_WORLD);
    draw.view = state.transform(D3DTS_VIEW);
    draw.projection = state.transform(D3DTS_PROJECTION);
    draw.viewport = state.viewport;
    draw.cullMode = state.renderStates[D3DRS_CULLMODE];
    const ScreenBounds onScreen = screenBounds(vertices.bounds(stride), draw.world, draw.view,
                                               draw.projection, draw.viewport);
    if (!onScreen.known) return nullptr;
    if (!onScreen.holdsPixelCentre(draw.viewport)) return &noTriangles;
    if (onScreen.extent() > smallExtent) return nullptr;
    const uint32_t base = state.baseVertexIndex;
    draw.list.vertices = vertices.storage().memory().data() + size_t(base) * stride;
    draw.list.stride = stride;
    draw.list.vertexCount = uint32_t(highest + 1 - base);
    draw.list.indexSize = indices.indexSize();
    draw.list.indices =
        indices.storage().memory().data() + size_t(startIndex) * indices.indexSize();
    draw.list.triangleCount = triangleCount;
    draw.source[0] = vertices.storage().name();
    draw.source[1] = vertices.storage().version();
    draw.source[2] = indices.storage().name();
    draw.source[3] = indices.storage().version();
    draw.source[4] = startIndex;
    draw.source[5] = base;
    return triangleCulling.trianglesThatMayDraw(draw);
}

size_t GlDevice::streamIndices(const std::vector<uint8_t>& indices) {
    const size_t bytes = indices.size();
    if (elementBuffer != streamIndexBuffer) {
        GL_CHECK(gl, glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, streamIndexBuffer));
        elementBuffer = streamIndexBuffer;
    }
    streamIndexOffset = (streamIndexOffset + 3) / 4 * 4;
    if (streamIndexOffset + bytes > streamIndexCapacity) {
        // Fresh storage: earlier draws keep reading the old one.
        streamIndexCapacity = std::max(streamIndexCapacity, std::max(bytes, size_t(1) << 18));
        GL_CHECK(gl, glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(streamIndexCapacity), nullptr,
                                  GL_STREAM_DRAW));
        streamIndexOffset = 0;
    }
    GL_CHECK(gl, glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, GLintptr(streamIndexOffset),
                                 GLsizeiptr(bytes), indices.data()));
    const size_t offset = streamIndexOffset;
    streamIndexOffset += bytes;
    return offset;
}

HRESULT GlDevice::prepareDraw(D3DPRIMITIVETYPE type, const VertexLayout& layout, GLuint buffer,
                              uint32_t stride, size_t base) {
    makeCurrent();
    const DeviceState& state = tracker.current();
    DrawSetup setup;
    setup.layout = layout;
    setup.zeroToOne = context->hasClipControl();
    setup.maxPointSize = limits.maxPointSize;
    setup.pointList = type == D3DPT_POINTLIST;
    std::string log;
    GlProgram* program = pipeline->program(programKeyOf(state, setup), log);
    if (!program) {
        // The draw is skipped; the log comes once per failing program.
        if (!log.empty()) std::fprintf(stderr, "gfx: shader program failed: %s\n", log.c_str());
        return D3DERR_NOTAVAILABLE;
    }
    cache.bindFramebuffer(frameFramebuffer());
    applyRenderStates(layout.pretransformed);
    bindTextures();
    cache.useProgram(program->name());
    program->upload(state, setup);
    bindVertexLayout(layout, buffer, stride, base);
    return S_OK;
}

// ==================================================================== draws
HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                                uint32_t primitiveCount) {
    const DeviceState& state = tracker.current();
    const VertexLayout layout = vertexLayoutOf(state.fvf);
    const uint32_t count = vertexCountOf(type, primitiveCount);
    auto* buffer = static_cast<GlVertexBuffer*>(state.streams[0].buffer);
    const uint32_t stride = state.streams[0].stride;
    if (!sceneOpen || count == 0 || !buffer || stride == 0 || layout.stride == 0 ||
        layout.stride > stride)
        return D3DERR_INVALIDCALL;
    // Nothing may read past the buffer: the last vertex must lie inside it.
    if ((uint64_t{startVertex} + count - 1) * stride + layout.stride >
        buffer->storage().memory().length())
        return D3DERR_INVALIDCALL;
    if (outOfView(type, layout, *buffer, stride)) return S_OK;
    // Rewritten whole since it was last drawn (a D3DLOCK_DISCARD lock): the
    // vertices drawn go the way of user-pointer ones, with no new storage
    // for the buffer, which costs the driver more than the copy.
    if (buffer->storage().discardPending()) {
        makeCurrent();
        return drawFromStream(type, layout, count,
                              buffer->storage().memory().data() + size_t(startVertex) * stride,
                              stride);
    }
    if (const HRESULT hr = prepareDraw(type, layout, buffer->storage().name(), stride, 0);
        FAILED(hr))
        return hr;
    const uint64_t drawnEnd = (uint64_t{startVertex} + count) * stride;
    GlBufferStorage& storage = buffer->storage();
    storage.prepare(startVertex * stride,
                    uint32_t(std::min<uint64_t>(storage.memory().length(), drawnEnd)));
    GL_CHECK(gl, glDrawArrays(glPrimitiveMode(type), GLint(startVertex), GLsizei(count)));
    return S_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t /*minIndex*/,
                                       uint32_t /*vertexCount*/, uint32_t startIndex,
                                       uint32_t primitiveCount) {
    const DeviceState& state = tracker.current();
    const VertexLayout layout = vertexLayoutOf(state.fvf);
    const uint32_t count = vertexCountOf(type, primitiveCount);
    auto* vertices = static_cast<GlVertexBuffer*>(state.streams[0].buffer);
    auto* indices = static_cast<GlIndexBuffer*>(state.indices);
    const uint32_t stride = state.streams[0].stride;
    if (!sceneOpen || count == 0 || !vertices || !indices || stride == 0 || layout.stride == 0 ||
        layout.stride > stride)
        return D3DERR_INVALIDCALL;
    const uint32_t indexSize = indices->indexSize();
    if ((uint64_t{startIndex} + count) * indexSize > indices->storage().memory().length())
        return D3DERR_INVALIDCALL;
    // Every index, offset by the base, must name a vertex inside the buffer.
    const uint64_t highest = uint64_t{indices->maxIndex(startIndex, count)} + state.baseVertexIndex;
    if (highest * stride + layout.stride > vertices->storage().memory().length())
        return D3DERR_INVALIDCALL;
    if (outOfView(type, layout, *vertices, stride)) return S_OK;
    const std::vector<uint8_t>* kept =
        type == D3DPT_TRIANGLELIST ? trianglesThatMayDraw(layout, *vertices, *indices, stride,
                                                          startIndex, primitiveCount, highest)
                                   : nullptr;
    if (kept && kept->empty()) return S_OK; // not one pixel centre is reached
    if (const HRESULT hr = prepareDraw(type, layout, vertices->storage().name(), stride, 0);
        FAILED(hr))
        return hr;
    // Indices are unsigned: the vertices read lie from the base to the highest.
    GlBufferStorage& vertexStorage = vertices->storage();
    const uint64_t vertexBytes = vertexStorage.memory().length();
    vertexStorage.prepare(
        uint32_t(std::min<uint64_t>(vertexBytes, uint64_t{state.baseVertexIndex} * stride)),
        uint32_t(std::min<uint64_t>(vertexBytes, (highest + 1) * stride)));
    const GLenum indexType = indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    if (kept) {
        const size_t offset = streamIndices(*kept);
        GL_CHECK(gl, glDrawElementsBaseVertex(GL_TRIANGLES, GLsizei(kept->size() / indexSize),
                                              indexType, reinterpret_cast<const void*>(offset),
                                              GLint(state.baseVertexIndex)));
        return S_OK;
    }
    indices->storage().prepare(startIndex * indexSize, (startIndex + count) * indexSize);
    if (elementBuffer != indices->storage().name()) {
        GL_CHECK(gl, glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices->storage().name()));
        elementBuffer = indices->storage().name();
    }
    GL_CHECK(gl,
             glDrawElementsBaseVertex(glPrimitiveMode(type), GLsizei(count), indexType,
                                      reinterpret_cast<const void*>(size_t(startIndex) * indexSize),
                                      GLint(state.baseVertexIndex)));
    return S_OK;
}

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount,
                                  const void* vertexData, uint32_t stride) {
    const VertexLayout layout = vertexLayoutOf(tracker.current().fvf);
    const uint32_t count = vertexCountOf(type, primitiveCount);
    if (!sceneOpen || count == 0 || !vertexData || stride == 0 || layout.stride == 0 ||
        layout.stride > stride)
        return D3DERR_INVALIDCALL;
    makeCurrent();
    const HRESULT hr = drawFromStream(type, layout, count, vertexData, stride);
    // As in Direct3D, a user-pointer draw leaves stream 0 unset.
    if (hr != D3DERR_OUTOFVIDEOMEMORY) tracker.setStreamSource(0, nullptr, 0);
    return hr;
}

HRESULT GlDevice::drawFromStream(D3DPRIMITIVETYPE type, const VertexLayout& layout, uint32_t count,
                                 const void* vertexData, uint32_t stride) {
    const size_t bytes = size_t(count) * stride;
    cache.bindArrayBuffer(streamBuffer);
    // Each draw's vertices start on a whole vertex, so draws of one format
    // share one set of attribute pointers (at byte 0) and differ only in
    // their first vertex: no attribute state changes between them.
    streamOffset = (streamOffset + stride - 1) / stride * stride;
    if (streamOffset + bytes > streamCapacity) {
        // Fresh storage: earlier draws keep reading the old one.
        streamCapacity = std::max(streamCapacity, std::max(bytes, size_t(1) << 20));
        GL_CHECK(
            gl, glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(streamCapacity), nullptr, GL_STREAM_DRAW));
        streamOffset = 0;
    }
    // The range past streamOffset is read by no queued draw, so it is written
    // without synchronisation: the driver need not finish earlier draws first.
    void* target = gl.glMapBufferRange(GL_ARRAY_BUFFER, GLintptr(streamOffset), GLsizeiptr(bytes),
                                       GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT |
                                           GL_MAP_INVALIDATE_RANGE_BIT);
    if (!target) return D3DERR_OUTOFVIDEOMEMORY;
    std::memcpy(target, vertexData, bytes);
    gl.glUnmapBuffer(GL_ARRAY_BUFFER);
    const HRESULT hr = prepareDraw(type, layout, streamBuffer, stride, 0);
    if (SUCCEEDED(hr))
        GL_CHECK(gl,
                 glDrawArrays(glPrimitiveMode(type), GLint(streamOffset / stride), GLsizei(count)));
    streamOffset += bytes;
    return hr;
}

} // namespace gfx::gl
