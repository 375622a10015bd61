// The Direct3D 8 device over OpenGL 3.3 core.
//
// The D3D state lives in a StateTracker (shared with the recording device);
// each draw translates the state in effect into GL through one state cache
// (GlStateCache) and the fixed-function program generated for that state
// (GlPipeline, one program per ProgramKey).  Drawing goes into the
// back-buffer framebuffer (GlBackBuffer); Present resolves it and
// blits it to the window, then swaps: windowed, stretched to the window's
// current size as Direct3D does until Reset; full screen, at the mode's
// aspect with black bars where the screen's differs.  Without a window the
// device is off screen and Present only resolves and flushes.
//
// The hardware cursor is handed to the window as a QCursor (SetCursorProperties
// builds it, ShowCursor shows or withdraws it) while the presentation is full
// screen; in a window the desktop's cursor shows.  SetCursorPosition is
// recorded but does not move the system pointer, which the cursor follows
// anyway.
#pragma once

#include "gfx/device/DeviceResource.h"
#include "gfx/device/StateTracker.h"
#include "gfx/device/VertexFormat.h"
#include "gfx/device/ViewCulling.h"
#include "gfx/gl/GlBackBuffer.h"
#include "gfx/gl/GlContext.h"
#include "gfx/gl/GlPipeline.h"
#include "gfx/gl/GlStateCache.h"
#include "gfx/gl/GlWindowBuffer.h"

#include <QCursor>

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace gfx::gl {

class GlBackBufferSurface;
class GlIndexBuffer;
class GlVertexBuffer;

// What the adapter knows about the GL implementation.
struct GlLimits {
    uint32_t maxTextureSize = 0;
    uint32_t maxSamples = 0;
    float maxPointSize = 1.0f;
    uint32_t textureUnits = 0;
    // Mesa's llvmpipe or softpipe, or another rasteriser on the CPU: culling
    // triangles before the driver sees them pays there (ViewCulling.h).
    bool softwareRasteriser = false;
};

class GlDevice final : public RefCounted<Device> {
public:
    // On failure returns null and sets status (and a driver log in `log`).
    static GlDevice* create(std::unique_ptr<GlContext> context,
                            const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS8& caps,
                            const GlLimits& limits, const D3DDISPLAYMODE& displayMode,
                            HRESULT& status, std::string& log);

    // The back buffer's pixels as 0xAARRGGBB, top row first.
    void readBackBuffer(std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height);
    const D3DPRESENT_PARAMETERS& presentParameters() const { return parameters; }
    const DeviceState& state() const { return tracker.current(); }
    bool usesClipControl() const { return context->hasClipControl(); }
    // Retraces each Present waits for, as set for the presentation (-1
    // where the window system offers no control of it).
    int swapInterval() const { return context->currentSwapInterval(); }

    // For the device's resources.
    GlFunctions& functions() { return gl; }
    GlStateCache& stateCache() { return cache; }
    // The fixed-function programs built so far.
    GlPipeline& programCache() { return *pipeline; }
    void makeCurrent();
    void forgetTexture(GLuint texture);
    void forgetBuffer(GLuint buffer);

    // ---- Device
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                    const void* dirtyRegion) override;
    HRESULT GetBackBuffer(uint32_t index, uint32_t type, Surface** surface) override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
    HRESULT SetCursorProperties(uint32_t hotSpotX, uint32_t hotSpotY, Surface* image) override;
    void SetCursorPosition(int32_t x, int32_t y, uint32_t flags) override;
    int32_t ShowCursor(int32_t show) override;
    HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                               Surface** surface) override;
    HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          D3DFORMAT format, uint32_t pool, Texture** texture) override;
    HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               VertexBuffer** buffer) override;
    HRESULT CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format, uint32_t pool,
                              IndexBuffer** buffer) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(uint32_t rectCount, const RECT* rects, uint32_t flags, D3DCOLOR colour, float z,
                  uint32_t stencil) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override {
        return tracker.setViewport(viewport);
    }
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override { return tracker.getViewport(viewport); }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        return tracker.setTransform(state, matrix);
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
        return tracker.getTransform(state, matrix);
    }
    HRESULT SetLight(uint32_t index, const D3DLIGHT8* light) override {
        return tracker.setLight(index, light);
    }
    HRESULT GetLight(uint32_t index, D3DLIGHT8* light) override {
        return tracker.getLight(index, light);
    }
    HRESULT LightEnable(uint32_t index, int32_t enable) override {
        return tracker.lightEnable(index, enable);
    }
    HRESULT GetLightEnable(uint32_t index, int32_t* enable) override {
        return tracker.getLightEnable(index, enable);
    }
    HRESULT SetMaterial(const D3DMATERIAL8* material) override {
        return tracker.setMaterial(material);
    }
    HRESULT GetMaterial(D3DMATERIAL8* material) override { return tracker.getMaterial(material); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override {
        return tracker.setRenderState(state, value);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) override {
        return tracker.getRenderState(state, value);
    }
    HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t value) override {
        return tracker.setTextureStageState(stage, type, value);
    }
    HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t* value) override {
        return tracker.getTextureStageState(stage, type, value);
    }
    HRESULT SetTexture(uint32_t stage, Texture* texture) override;
    HRESULT GetTexture(uint32_t stage, Texture** texture) override {
        return tracker.getTexture(stage, texture);
    }
    HRESULT SetVertexShader(uint32_t fvf) override { return tracker.setVertexShader(fvf); }
    HRESULT GetVertexShader(uint32_t* fvf) override { return tracker.getVertexShader(fvf); }
    HRESULT SetPixelShader(uint32_t handle) override { return tracker.setPixelShader(handle); }
    HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
    HRESULT SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                          uint32_t primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                 uint32_t startIndex, uint32_t primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                            uint32_t stride) override;
    HRESULT BeginStateBlock() override { return tracker.beginStateBlock(); }
    HRESULT EndStateBlock(uint32_t* token) override { return tracker.endStateBlock(token); }
    HRESULT ApplyStateBlock(uint32_t token) override { return tracker.applyStateBlock(token); }
    HRESULT CaptureStateBlock(uint32_t token) override { return tracker.captureStateBlock(token); }
    HRESULT DeleteStateBlock(uint32_t token) override { return tracker.deleteStateBlock(token); }

private:
    GlDevice(std::unique_ptr<GlContext> context, const D3DCAPS8& caps, const GlLimits& limits,
             const D3DDISPLAYMODE& displayMode);
    ~GlDevice() override;

    HRESULT initialise(const D3DPRESENT_PARAMETERS& requested, std::string& log);
    // Fills zero sizes and defaults; false for parameters we cannot honour.
    bool adoptParameters(const D3DPRESENT_PARAMETERS& requested, D3DPRESENT_PARAMETERS& out) const;
    HRESULT createBackBuffer();
    void setFixedGlState();
    // The framebuffer this frame draws into, chosen at its first clear or
    // draw (GlWindowBuffer.h): the window's own or the device's back buffer.
    GLuint frameFramebuffer();
    bool windowTakesFrame() const;
    // Viewport and scissor rows as the frame's framebuffer counts them.
    Rectangle onFrameTarget(Rectangle area) const;
    // The scaling copy of the device's back buffer onto the window.
    void copyBackBufferToWindow(const QWindow& window);
    // Puts the device's cursor on the window, or takes it off (see above).
    void applyCursor();

    // The per-draw translation: fixed-function states, textures, samplers,
    // uniforms and the vertex layout from `buffer` at byte `base`.
    // A triangle draw of model-space vertices from `buffer` that cannot
    // reach the viewport (ViewCulling.h): skipped, since it draws nothing.
    bool outOfView(D3DPRIMITIVETYPE type, const VertexLayout& layout, GlVertexBuffer& buffer,
                   uint32_t stride);
    // On a software rasteriser, the indices of the triangles of an indexed
    // triangle list that may draw (ViewCulling.h); null where every
    // triangle goes to the rasteriser.
    const std::vector<uint8_t>* trianglesThatMayDraw(const VertexLayout& layout,
                                                     GlVertexBuffer& vertices,
                                                     GlIndexBuffer& indices, uint32_t stride,
                                                     uint32_t startIndex, uint32_t triangleCount,
                                                     uint64_t highest);
    // Copies `indices` into the stream index buffer; their offset there.
    size_t streamIndices(const std::vector<uint8_t>& indices);
    // Draws count vertices copied from memory through the stream buffer.
    HRESULT drawFromStream(D3DPRIMITIVETYPE type, const VertexLayout& layout, uint32_t count,
                           const void* vertices, uint32_t stride);
    HRESULT prepareDraw(D3DPRIMITIVETYPE type, const VertexLayout& layout, GLuint buffer,
                        uint32_t stride, size_t base);
    void applyRenderStates(bool pretransformed);
    void bindTextures();
    GLuint samplerFor(uint32_t stage);
    void bindVertexLayout(const VertexLayout& layout, GLuint buffer, uint32_t stride, size_t base);

    std::unique_ptr<GlContext> context;
    GlFunctions& gl;
    GlStateCache cache;
    std::unique_ptr<GlPipeline> pipeline;
    GlBackBuffer backBuffer;
    GlBackBufferSurface* backBufferSurface = nullptr;
    enum class FrameTarget { Undecided, BackBuffer, Window };
    FrameTarget frameTarget = FrameTarget::Undecided;
    bool windowUpsideDown = false;      // clip space and sprites set for the window's rows
    WindowBufferFormat windowBuffers;   // of the device's window, if any
    bool windowHoldsBackBuffer = false; // the presentation's formats, in the window's buffers
    StateTracker tracker;
    ResourceRegistry registry;
    D3DPRESENT_PARAMETERS parameters;
    D3DCAPS8 caps;
    GlLimits limits;
    D3DDISPLAYMODE displayMode;
    bool sceneOpen = false;

    GLuint vertexArray = 0;
    GLuint elementBuffer = 0; // bound in vertexArray
    std::tuple<GLuint, uint32_t, uint32_t, size_t> layoutKey{0, 0, 0,
                                                             0}; // buffer, fvf, stride, base
    bool layoutKnown = false;
    GLuint streamBuffer = 0; // user-pointer draws
    size_t streamCapacity = 0, streamOffset = 0;
    GLuint streamIndexBuffer = 0; // the kept triangles of small draws
    size_t streamIndexCapacity = 0, streamIndexOffset = 0;
    TriangleCulling triangleCulling;
    const std::vector<uint8_t> noTriangles;
    // min, mag filter, wrap s, t, border colour, LOD bias bits
    std::map<std::tuple<GLenum, GLenum, GLenum, GLenum, uint32_t, uint32_t>, GLuint> samplers;

    QCursor cursor;
    bool cursorSet = false;
    int32_t cursorShown = 0;
    int32_t cursorX = 0, cursorY = 0;
};

} // namespace gfx::gl
