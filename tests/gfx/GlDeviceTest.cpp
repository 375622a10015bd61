// The GL device against Direct3D's rules: clears, pre-transformed pixel
// coverage, vertex colours, Reset's rule, back-buffer read-back.
#include "GlTestDevice.h"

#include "gfx/gl/GlDebugOutput.h"
#include "support/GlDebugCheck.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <algorithm>
#include <iterator>

using namespace gfx;
using namespace gfxtest;

namespace {

// The suites run on debug contexts, and an error the driver reports is seen
// (and would fail the test it happens in).
TEST_F(GlDeviceTest, DriverErrorsAreReported) {
    std::vector<uint32_t> argb;
    uint32_t w = 0, h = 0;
    glDevice->readBackBuffer(argb, w, h); // makes the device's context current
    QOpenGLContext* context = QOpenGLContext::currentContext();
    ASSERT_NE(context, nullptr);
    EXPECT_TRUE(context->format().testOption(QSurfaceFormat::DebugContext));
    const uint64_t before = gl::debugErrorCount();
    context->functions()->glEnable(0x7FFF); // not a capability: GL_INVALID_ENUM
    EXPECT_EQ(gl::debugErrorCount(), before + 1);
    testsupport::allowGlDebugErrors();
}

TEST_F(GlDeviceTest, ClearFillsTheViewportOnly) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), S_OK);
    D3DVIEWPORT8 viewport{8, 4, 16, 8, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), S_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), S_OK);
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 8, 4), 0xFFFF0000u); // top-left of the viewport (top row first)
    EXPECT_EQ(pixel(image, 23, 11), 0xFFFF0000u);
    EXPECT_EQ(pixel(image, 7, 4), 0xFF102030u);
    EXPECT_EQ(pixel(image, 8, 3), 0xFF102030u);
    EXPECT_EQ(pixel(image, 24, 11), 0xFF102030u);
    EXPECT_EQ(pixel(image, 8, 12), 0xFF102030u);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(GlDeviceTest, ClearRectanglesAndTheirCountAsDirect3DReadsThem) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), S_OK);
    D3DVIEWPORT8 viewport{8, 4, 16, 8, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), S_OK);
    // Rectangles with a count of 0: nothing is cleared, and that succeeds.
    const RECT inside{10, 6, 12, 8};
    EXPECT_EQ(device->Clear(0, &inside, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), S_OK);
    EXPECT_EQ(pixel(pixels(), 10, 6), 0xFF102030u);
    // A count with no rectangles: the whole viewport, and nothing outside it.
    EXPECT_EQ(device->Clear(3, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
    auto image = pixels();
    EXPECT_EQ(pixel(image, 8, 4), 0xFF00FF00u);
    EXPECT_EQ(pixel(image, 23, 11), 0xFF00FF00u);
    EXPECT_EQ(pixel(image, 7, 4), 0xFF102030u);
    EXPECT_EQ(pixel(image, 24, 11), 0xFF102030u);
    EXPECT_EQ(pixel(image, 8, 12), 0xFF102030u);
    // Rectangles are clipped to the viewport.
    const RECT across{0, 0, 12, 6};
    EXPECT_EQ(device->Clear(1, &across, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), S_OK);
    image = pixels();
    EXPECT_EQ(pixel(image, 8, 4), 0xFF0000FFu);
    EXPECT_EQ(pixel(image, 11, 5), 0xFF0000FFu);
    EXPECT_EQ(pixel(image, 12, 5), 0xFF00FF00u);
    EXPECT_EQ(pixel(image, 8, 6), 0xFF00FF00u);
    EXPECT_EQ(pixel(image, 7, 3), 0xFF102030u);
}

TEST_F(GlDeviceTest, PretransformedQuadCoversThePixelsDirect3DFills) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->BeginScene();
    // Pixel centres lie on integers: [10, 30) x [20, 40) covers columns
    // 10..29 and rows 20..39 exactly.
    drawQuad(10, 20, 30, 40, 0xFF336699);
    device->EndScene();
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 10, 20), 0xFF336699u);
    EXPECT_EQ(pixel(image, 29, 39), 0xFF336699u);
    EXPECT_EQ(pixel(image, 9, 20), 0xFF000000u);
    EXPECT_EQ(pixel(image, 10, 19), 0xFF000000u);
    EXPECT_EQ(pixel(image, 30, 39), 0xFF000000u);
    EXPECT_EQ(pixel(image, 29, 40), 0xFF000000u);

    // The font's -0.5 offsets: a quad from 4.5 to 8.5 covers columns 5..8.
    device->BeginScene();
    drawQuad(4.5f, 50.5f, 8.5f, 52.5f, 0xFFFFFFFF);
    device->EndScene();
    const auto shifted = pixels();
    EXPECT_EQ(pixel(shifted, 5, 51), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(shifted, 8, 52), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(shifted, 4, 51), 0xFF000000u);
    EXPECT_EQ(pixel(shifted, 9, 51), 0xFF000000u);
    EXPECT_EQ(pixel(shifted, 5, 50), 0xFF000000u);
}

TEST_F(GlDeviceTest, PretransformedDepthOutsideZeroToOneIsDrawnWithoutAZTest) {
    // ZENABLE is FALSE (no depth buffer): z does not clip screen-space
    // vertices, in front of 0 or beyond 1.
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 32, 32, 0xFFFF0000, 0, -0.5f);
    drawQuad(32, 0, 64, 32, 0xFF00FF00, 0, 1.5f);
    // Transformed vertices past the far plane (z > w) are still clipped.
    struct ColouredVertex { // XYZ | DIFFUSE (0x42)
        float x, y, z;
        uint32_t colour;
    };
    const ColouredVertex far[3] = {
        {-1, -1, 1.5f, 0xFF0000FF}, {-1, 0, 1.5f, 0xFF0000FF}, {1, -1, 1.5f, 0xFF0000FF}};
    device->SetVertexShader(0x42);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, far, sizeof far[0]), S_OK);
    device->EndScene();
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 16, 16), 0xFFFF0000u);
    EXPECT_EQ(pixel(image, 48, 16), 0xFF00FF00u);
    EXPECT_EQ(pixel(image, 8, 56), 0xFF000000u); // the bottom-left triangle
}

TEST_F(GlDeviceTest, ResetRefusedWhileDefaultPoolObjectsOrStateBlocksExist) {
    VertexBuffer* dynamic = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(8400, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                         D3DPOOL_DEFAULT, &dynamic),
              S_OK);
    Texture* managed = makeTexture(1, 1, {0xFFFF0000});
    uint32_t token = 0;
    device->BeginStateBlock();
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->EndStateBlock(&token);

    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = 32;
    parameters.BackBufferHeight = 16;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = 1;
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    dynamic->Release();
    EXPECT_EQ(device->Reset(&parameters), D3DERR_INVALIDCALL);
    device->DeleteStateBlock(token);
    ASSERT_EQ(device->Reset(&parameters), S_OK);
    width = 32;
    height = 16;

    // The managed texture survived and still draws.
    device->SetTexture(0, managed);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->BeginScene();
    drawQuad(0, 0, 32, 16, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 31, 15), 0xFFFF0000u);
    managed->Release();
    Surface* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(backBuffer->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<const uint32_t*>(locked.pBits)[0], 0xFFFF0000u);
    backBuffer->UnlockRect();
    backBuffer->Release();
}

TEST_F(GlDeviceTest, TextureUpdatedAfterATwoStageDrawChangesOnlyItself) {
    Texture* first = makeTexture(1, 1, {0xFFFF0000});
    Texture* second = makeTexture(1, 1, {0xFF0000FF});
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTexture(0, first);
    device->SetTexture(1, second);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->BeginScene();
    drawQuad(0, 0, 64, 64, 0xFFFFFFFF);
    // The first texture turns green between two draws of one frame.
    D3DLOCKED_RECT locked;
    ASSERT_EQ(first->LockRect(0, &locked, nullptr, 0), S_OK);
    *static_cast<uint32_t*>(locked.pBits) = 0xFF00FF00;
    first->UnlockRect(0);
    drawQuad(0, 0, 64, 64, 0xFFFFFFFF);
    device->EndScene();
    EXPECT_EQ(pixel(pixels(), 5, 5), 0xFF00FFFFu); // green + blue
    first->Release();
    second->Release();
}

TEST_F(GlDeviceTest, StateBlocksDriveWhatIsDrawn) {
    // The font's pattern: capture the caller's states, apply the drawing
    // block, draw, apply the captured block.
    uint32_t saved = 0, drawing = 0;
    for (uint32_t* token : {&saved, &drawing}) {
        ASSERT_EQ(device->BeginStateBlock(), S_OK);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        ASSERT_EQ(device->EndStateBlock(token), S_OK);
    }
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF202020, 1.0f, 0);
    device->BeginScene();
    ASSERT_EQ(device->CaptureStateBlock(saved), S_OK);
    ASSERT_EQ(device->ApplyStateBlock(drawing), S_OK);
    drawQuad(0, 0, 32, 64, 0xFF404040); // added: 0x60
    ASSERT_EQ(device->ApplyStateBlock(saved), S_OK);
    drawQuad(32, 0, 64, 64, 0xFF404040); // blending off again: replaced
    device->EndScene();
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 10, 10), 0xFF606060u);
    EXPECT_EQ(pixel(image, 50, 10), 0xFF404040u);
    device->DeleteStateBlock(saved);
    device->DeleteStateBlock(drawing);
}

// Buffers reach GL when drawn, and only the part a draw reads: whatever
// mix of partial writes, discards and partial draws, each draw shows what
// was written last over the vertices it reads.
TEST_F(GlDeviceTest, BufferDrawsShowTheLatestWrites) {
    constexpr uint32_t quadVertices = 6, quads = 3;
    auto writeQuad = [](ScreenVertex* at, float x0, uint32_t colour) {
        const float x1 = x0 + 8, y0 = 0, y1 = 8;
        const ScreenVertex corners[quadVertices] = {
            {x0, y1, 0.5f, 1, colour, 0, 0, 0}, {x0, y0, 0.5f, 1, colour, 0, 0, 0},
            {x1, y1, 0.5f, 1, colour, 0, 0, 0}, {x1, y1, 0.5f, 1, colour, 0, 0, 0},
            {x0, y0, 0.5f, 1, colour, 0, 0, 0}, {x1, y0, 0.5f, 1, colour, 0, 0, 0}};
        std::copy(std::begin(corners), std::end(corners), at);
    };
    for (const uint32_t usage : {0u, uint32_t(D3DUSAGE_DYNAMIC)}) {
        VertexBuffer* buffer = nullptr;
        ASSERT_EQ(device->CreateVertexBuffer(quads * quadVertices * sizeof(ScreenVertex),
                                             usage | D3DUSAGE_WRITEONLY, 0x1C4, D3DPOOL_DEFAULT,
                                             &buffer),
                  S_OK);
        auto lockQuad = [&](uint32_t quad, uint32_t flags) {
            uint8_t* bytes = nullptr;
            const uint32_t size = quadVertices * sizeof(ScreenVertex);
            EXPECT_EQ(buffer->Lock(flags & D3DLOCK_DISCARD ? 0 : quad * size,
                                   flags & D3DLOCK_DISCARD ? 0 : size, &bytes, flags),
                      S_OK);
            auto* vertices = reinterpret_cast<ScreenVertex*>(bytes);
            return flags & D3DLOCK_DISCARD ? vertices + quad * quadVertices : vertices;
        };
        auto drawQuads = [&](uint32_t first, uint32_t count) {
            EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, first * quadVertices, 2 * count),
                      S_OK);
        };
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        device->SetVertexShader(0x1C4);
        device->BeginScene();
        device->SetStreamSource(0, buffer, sizeof(ScreenVertex));
        // The whole buffer, drawn in two parts.
        ScreenVertex* all = lockQuad(0, usage ? D3DLOCK_DISCARD : 0);
        writeQuad(all, 0, 0xFFFF0000);
        writeQuad(all + quadVertices, 10, 0xFF00FF00);
        writeQuad(all + 2 * quadVertices, 20, 0xFF0000FF);
        buffer->Unlock();
        drawQuads(0, 1);
        drawQuads(2, 1);
        // One quad rewritten in place, then everything drawn.
        writeQuad(lockQuad(0, 0), 0, 0xFFFFFF00);
        buffer->Unlock();
        drawQuads(1, 1);
        drawQuads(0, 3);
        device->EndScene();
        const auto image = pixels();
        EXPECT_EQ(pixel(image, 4, 4), 0xFFFFFF00u) << "usage " << usage;
        EXPECT_EQ(pixel(image, 14, 4), 0xFF00FF00u) << "usage " << usage;
        EXPECT_EQ(pixel(image, 24, 4), 0xFF0000FFu) << "usage " << usage;
        device->SetStreamSource(0, nullptr, 0);
        buffer->Release();
    }
}

} // namespace
