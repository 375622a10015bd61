// The device seam: the Direct3D 8 device interface the program draws through.
//
// Callers see only these abstract classes; the OpenGL backend lives in gl/
// and a recording backend (RecordingDevice.h) serves the tests of everything
// above the seam.  Operations keep Direct3D 8's names, argument meanings and
// results: every fallible call returns an HRESULT and never throws.
//
// Lifetime: every object is reference counted.  Creation hands out one
// reference; AddRef/Release return the new count, and the object is destroyed
// when it reaches 0.  A resource keeps its device alive (it holds a reference
// to it), as in Direct3D.
#pragma once

#include "gfx/device/Types.h"

namespace gfx {

class Unknown {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~Unknown() = default;
};

// A 2D image the device can read or write: the back buffer, an image surface
// (for the hardware cursor) or one level of a texture.
class Surface : public Unknown {
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    // rect null: the whole surface.  Pitch is in bytes.
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class Texture : public Unknown {
public:
    virtual uint32_t GetLevelCount() = 0;
    virtual HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetSurfaceLevel(uint32_t level, Surface** surface) = 0;
    virtual HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                             uint32_t flags) = 0;
    virtual HRESULT UnlockRect(uint32_t level) = 0;
};

class VertexBuffer : public Unknown {
public:
    // size 0 with offset 0 locks the whole buffer.
    virtual HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IndexBuffer : public Unknown {
public:
    virtual HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

class Device : public Unknown {
public:
    // ---- life
    virtual HRESULT TestCooperativeLevel() = 0;
    // Fails with D3DERR_INVALIDCALL while default-pool resources or state
    // blocks still exist.
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
    // All four arguments must be null (the whole back buffer to the whole
    // window); kept for the call's shape.
    virtual HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow,
                            const void* dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(uint32_t index, uint32_t type, Surface** surface) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
    virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) = 0;

    // ---- hardware cursor (shown over the window in full-screen mode)
    virtual HRESULT SetCursorProperties(uint32_t hotSpotX, uint32_t hotSpotY, Surface* image) = 0;
    virtual void SetCursorPosition(int32_t x, int32_t y, uint32_t flags) = 0;
    // Returns the previous visibility.
    virtual int32_t ShowCursor(int32_t show) = 0;

    // ---- resources
    virtual HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format,
                                       Surface** surface) = 0;
    virtual HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  D3DFORMAT format, uint32_t pool, Texture** texture) = 0;
    virtual HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                       VertexBuffer** buffer) = 0;
    virtual HRESULT CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format,
                                      uint32_t pool, IndexBuffer** buffer) = 0;

    // ---- drawing
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(uint32_t rectCount, const RECT* rects, uint32_t flags, D3DCOLOR colour,
                          float z, uint32_t stencil) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetLight(uint32_t index, const D3DLIGHT8* light) = 0;
    virtual HRESULT GetLight(uint32_t index, D3DLIGHT8* light) = 0;
    virtual HRESULT LightEnable(uint32_t index, int32_t enable) = 0;
    virtual HRESULT GetLightEnable(uint32_t index, int32_t* enable) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL8* material) = 0;
    // Float-valued states (POINTSIZE, POINTSCALE_*) take floatBits(value).
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) = 0;
    virtual HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                         uint32_t value) = 0;
    virtual HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                         uint32_t* value) = 0;
    virtual HRESULT SetTexture(uint32_t stage, Texture* texture) = 0;
    virtual HRESULT GetTexture(uint32_t stage, Texture** texture) = 0;
    // The "vertex shader" of a fixed-function draw is its flexible vertex format.
    virtual HRESULT SetVertexShader(uint32_t fvf) = 0;
    virtual HRESULT GetVertexShader(uint32_t* fvf) = 0;
    virtual HRESULT SetPixelShader(uint32_t handle) = 0;
    virtual HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) = 0;
    virtual HRESULT SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex,
                                  uint32_t primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex,
                                         uint32_t vertexCount, uint32_t startIndex,
                                         uint32_t primitiveCount) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount,
                                    const void* vertices, uint32_t stride) = 0;

    // ---- state blocks (tokens are non-zero; 0 means none)
    virtual HRESULT BeginStateBlock() = 0;
    virtual HRESULT EndStateBlock(uint32_t* token) = 0;
    virtual HRESULT ApplyStateBlock(uint32_t token) = 0;
    virtual HRESULT CaptureStateBlock(uint32_t token) = 0;
    virtual HRESULT DeleteStateBlock(uint32_t token) = 0;
};

// Releases *object when it is set and nulls the slot: the program's
// "release, then set to null" rule in one place.
template <class T> inline void releaseAndNull(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace gfx
