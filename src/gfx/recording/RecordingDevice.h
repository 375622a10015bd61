// A Device that draws nothing and records everything: the backend of the
// tests of the framework, the application, the renderer and the overlay.
//
// It keeps the full D3D state (StateTracker: D3D8's defaults, state blocks
// exactly as Direct3D records, applies and captures them), creates resources
// in memory that lock like real ones, follows Reset's rule (INVALIDCALL while
// default-pool resources or state blocks exist), and logs
//   - every call as a RecordedCall: its name ("SetRenderState",
//     "VertexBuffer.Lock"), its raw arguments and a readable text such as
//     "SetRenderState(D3DRS_LIGHTING, 0)" or "SetTexture(0, Texture#3)";
//   - every draw as a RecordedDraw: the arguments, a copy of the states in
//     effect and of the vertex (and index) data the draw read.
// Resources are named "<Kind>#<id>" with ids counted from 1 per device.
//
// A test scripts it with setCooperativeLevel (lost / not reset) and
// failNext (the next call of a name fails with a given status).
#pragma once

#include "gfx/device/DeviceResource.h"
#include "gfx/image/ImageMemory.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

struct RecordedCall {
    std::string name;
    // Integer arguments in call order; resources as their id (0 = null),
    // floats as their bits; record arguments (matrices, lights) are in text.
    std::vector<uint64_t> args;
    std::string text;
    HRESULT result = S_OK;
};

struct RecordedDraw {
    size_t callIndex = 0; // into RecordingDevice::calls()
    std::string name;     // "DrawPrimitive", "DrawIndexedPrimitive", "DrawPrimitiveUP"
    D3DPRIMITIVETYPE type = 0;
    uint32_t primitiveCount = 0;
    uint32_t startVertex = 0;                               // DrawPrimitive
    uint32_t minIndex = 0, vertexCount = 0, startIndex = 0; // DrawIndexedPrimitive
    uint32_t stride = 0;
    // The states the draw used.  Its binding pointers are for comparison
    // only: the objects may be gone by the time a test looks.
    DeviceState state;
    std::array<uint32_t, D3DMAX_TEXTURE_STAGES> textureIds{};
    uint32_t streamId = 0, indicesId = 0;
    // The vertex bytes the draw read: the UP array, or stream 0 from the
    // first vertex used (startVertex, or base + minIndex) for the count used.
    std::vector<uint8_t> vertices;
    std::vector<uint32_t> indices; // indexed draws: the indices read
};

struct RecordedCursor {
    uint32_t hotSpotX = 0, hotSpotY = 0;
    uint32_t imageId = 0;
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels; // A8R8G8B8 copy of the image, top row first
    int32_t x = 0, y = 0;
    int32_t shown = 0;
};

class RecordingDevice final : public RefCounted<Device> {
public:
    // A device with the given presentation and caps; one reference.
    // A zero back-buffer size takes windowSize (640 x 480 unless set).
    static RecordingDevice* create(const D3DPRESENT_PARAMETERS& parameters,
                                   const D3DCAPS8& caps = defaultCaps());
    static D3DCAPS8 defaultCaps();

    // ---- scripting
    // What TestCooperativeLevel answers from now on (S_OK, DEVICELOST,
    // DEVICENOTRESET).  A successful Reset turns DEVICENOTRESET into S_OK;
    // Reset fails with DEVICELOST while the device is lost.
    void setCooperativeLevel(HRESULT level) { cooperativeLevel = level; }
    // The next call named name (as in RecordedCall::name) returns status and
    // does nothing.  Several queue up.
    void failNext(std::string_view name, HRESULT status);
    void setDisplayMode(const D3DDISPLAYMODE& mode) { displayMode = mode; }
    void setWindowSize(uint32_t width, uint32_t height);

    // ---- inspection
    const std::vector<RecordedCall>& calls() const { return log; }
    std::vector<std::string> callTexts() const;
    std::vector<std::string> callNames() const;
    size_t countCalls(std::string_view name) const;
    const std::vector<RecordedDraw>& draws() const { return drawLog; }
    void clearLog();

    const DeviceState& state() const { return tracker.current(); }
    const StateBlock* stateBlock(uint32_t token) const { return tracker.stateBlock(token); }
    size_t stateBlockCount() const { return tracker.stateBlockCount(); }
    bool recordingStateBlock() const { return tracker.recording(); }
    size_t liveResourceCount() const { return registry.liveCount(); }
    size_t defaultPoolResourceCount() const { return registry.defaultPoolCount(); }
    const D3DPRESENT_PARAMETERS& presentParameters() const { return parameters; }
    uint32_t presentCount() const { return presents; }
    bool inScene() const { return sceneOpen; }
    const RecordedCursor& cursor() const { return cursorState; }
    // "Texture#3", "null", or "?" for an object of another device.
    std::string nameOf(const Unknown* object) const;
    static uint32_t idOf(const Unknown* object);

    // Used by this device's resources to log their own calls.
    void record(std::string name, std::vector<uint64_t> args, std::string text, HRESULT result);
    bool consumeFailure(std::string_view name, HRESULT& status);
    uint32_t nextId() { return ++lastId; }

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
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetLight(uint32_t index, const D3DLIGHT8* light) override;
    HRESULT GetLight(uint32_t index, D3DLIGHT8* light) override;
    HRESULT LightEnable(uint32_t index, int32_t enable) override;
    HRESULT GetLightEnable(uint32_t index, int32_t* enable) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) override;
    HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t value) override;
    HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t* value) override;
    HRESULT SetTexture(uint32_t stage, Texture* texture) override;
    HRESULT GetTexture(uint32_t stage, Texture** texture) override;
    HRESULT SetVertexShader(uint32_t fvf) override;
    HRESULT GetVertexShader(uint32_t* fvf) override;
    HRESULT SetPixelShader(uint32_t handle) override;
    HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
    HRESULT SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                          uint32_t primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                 uint32_t startIndex, uint32_t primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                            uint32_t stride) override;
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(uint32_t* token) override;
    HRESULT ApplyStateBlock(uint32_t token) override;
    HRESULT CaptureStateBlock(uint32_t token) override;
    HRESULT DeleteStateBlock(uint32_t token) override;

private:
    RecordingDevice(const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS8& caps);
    ~RecordingDevice() override;

    void adoptParameters(const D3DPRESENT_PARAMETERS& requested);
    void createBackBuffer();
    // Logs a call and returns its result; the failure queue is consulted by
    // the callers before doing anything.
    HRESULT logged(const char* name, std::vector<uint64_t> args, std::string text, HRESULT result);
    RecordedDraw& beginDraw(const char* name, D3DPRIMITIVETYPE type, uint32_t primitiveCount);

    StateTracker tracker;
    ResourceRegistry registry;
    D3DPRESENT_PARAMETERS parameters;
    D3DCAPS8 caps;
    D3DDISPLAYMODE displayMode;
    uint32_t windowWidth = 640, windowHeight = 480;
    HRESULT cooperativeLevel = S_OK;
    Surface* backBuffer = nullptr;
    bool sceneOpen = false;
    uint32_t presents = 0;
    RecordedCursor cursorState;
    uint32_t lastId = 0;
    std::vector<RecordedCall> log;
    std::vector<RecordedDraw> drawLog;
    std::deque<std::pair<std::string, HRESULT>> failures;
};

} // namespace gfx
