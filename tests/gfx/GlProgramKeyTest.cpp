// Program keys and the shader text written for them, without GL: states
// that select code give distinct keys and sources, states that cannot
// change the result give the same key, and the text holds no run-time
// choice among operations.
#include "gfx/gl/GlProgramKey.h"
#include "gfx/gl/GlShaderSource.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace gfx;
using namespace gfx::gl;

namespace {

struct ProgramKeyTest : testing::Test {
    DeviceState state = DeviceState::defaults(64, 64, false);
    DrawSetup setup;
    Texture* someTexture = reinterpret_cast<Texture*>(uintptr_t(0x1000)); // only compared to null

    void SetUp() override {
        setup.layout = vertexLayoutOf(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        state.renderStates[D3DRS_LIGHTING] = 0;
    }
    ProgramKey key() const { return programKeyOf(state, setup); }
    void stage(uint32_t index, uint32_t colourOp, uint32_t arg1, uint32_t arg2, uint32_t alphaOp,
               uint32_t alphaArg1, uint32_t alphaArg2) {
        auto& s = state.stageStates[index];
        s[D3DTSS_COLOROP] = colourOp;
        s[D3DTSS_COLORARG1] = arg1;
        s[D3DTSS_COLORARG2] = arg2;
        s[D3DTSS_ALPHAOP] = alphaOp;
        s[D3DTSS_ALPHAARG1] = alphaArg1;
        s[D3DTSS_ALPHAARG2] = alphaArg2;
    }
};

TEST_F(ProgramKeyTest, StatesTheOperationsIgnoreGiveTheSameKey) {
    state.textures[0] = someTexture;
    stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    const ProgramKey base = key();
    EXPECT_EQ(base.stageCount, 1);
    EXPECT_EQ(base.stages[0].readsTexture, 1);

    // SELECTARG1 ignores Arg2; a disabled alpha operation ignores both.
    stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_SPECULAR, D3DTOP_DISABLE, D3DTA_TFACTOR,
          D3DTA_DIFFUSE);
    EXPECT_EQ(key(), base);
    // Lighting values while lighting is off, point states for triangles,
    // a texture factor and an alpha reference are uniforms or unused.
    state.renderStates[D3DRS_NORMALIZENORMALS] = 1;
    state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR2;
    state.lights[0].enabled = 1;
    state.renderStates[D3DRS_POINTSCALEENABLE] = 1;
    state.renderStates[D3DRS_POINTSPRITEENABLE] = 1;
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0x12345678;
    state.renderStates[D3DRS_ALPHAREF] = 99;
    // ALWAYS passes every pixel: no test.
    state.renderStates[D3DRS_ALPHATESTENABLE] = 1;
    state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    // Flat shading of colours that do not vary.
    state.renderStates[D3DRS_SHADEMODE] = D3DSHADE_FLAT;
    // Stages after the one that ends the cascade.
    stage(2, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_MODULATE, D3DTA_DIFFUSE,
          D3DTA_CURRENT);
    EXPECT_EQ(key(), base);
    EXPECT_EQ(ProgramKeyHash{}(key()), ProgramKeyHash{}(base));
    EXPECT_EQ(fragmentShaderSource(key()), fragmentShaderSource(base));

    // An unbound texture ends the cascade at that stage.
    state.textures[0] = nullptr;
    EXPECT_EQ(key().stageCount, 0);
}

TEST_F(ProgramKeyTest, StatesThatSelectCodeGiveDistinctKeysAndSources) {
    state.textures[0] = someTexture;
    state.textures[1] = someTexture;
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0x80FFFFFF; // a blend by 0.5, not a selection
    std::set<std::string> fragments, vertices;
    int variants = 0;
    auto add = [&] {
        ++variants;
        fragments.insert(fragmentShaderSource(key()));
        vertices.insert(vertexShaderSource(key()));
    };
    for (uint32_t op = D3DTOP_SELECTARG1; op <= D3DTOP_BLENDCURRENTALPHA; ++op) {
        stage(0, op, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
        add();
    }
    stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
          D3DTA_TEXTURE, D3DTA_CURRENT);
    add();
    stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE,
          D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
    add();
    stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
          D3DTA_TFACTOR);
    add();
    stage(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    add();
    state.stageStates[1][D3DTSS_TEXCOORDINDEX] = 1;
    setup.layout = vertexLayoutOf(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2);
    add();
    setup.layout = vertexLayoutOf(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX2);
    add(); // the diffuse colour varies
    state.renderStates[D3DRS_SHADEMODE] = D3DSHADE_FLAT;
    add();
    state.renderStates[D3DRS_SPECULARENABLE] = 1;
    add();
    for (uint32_t func = D3DCMP_NEVER; func < D3DCMP_ALWAYS; ++func) {
        state.renderStates[D3DRS_ALPHATESTENABLE] = 1;
        state.renderStates[D3DRS_ALPHAFUNC] = func;
        add();
    }
    EXPECT_EQ(int(fragments.size()), variants);

    // The vertex side: lights by number and kind, material sources, points.
    const size_t before = vertices.size();
    state.renderStates[D3DRS_LIGHTING] = 1;
    add();
    state.lights[0].enabled = 1; // the default light is directional
    add();
    state.lights[3].enabled = 1;
    state.lights[3].light.Type = D3DLIGHT_POINT;
    add();
    state.lights[0].light.Type = D3DLIGHT_POINT;
    add();
    state.renderStates[D3DRS_NORMALIZENORMALS] = 1;
    add();
    state.renderStates[D3DRS_COLORVERTEX] = 0;
    add(); // the material instead of the vertex colour (DIFFUSEMATERIALSOURCE COLOR1)
    setup.pointList = true;
    add();
    state.renderStates[D3DRS_POINTSCALEENABLE] = 1;
    add();
    EXPECT_EQ(vertices.size() - before, 8u);
}

TEST_F(ProgramKeyTest, BlendsByAFactorAlphaOfZeroOrOneAreSelections) {
    state.textures[0] = someTexture;
    state.textures[1] = someTexture;
    stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    stage(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0x00FFFFFF;
    const ProgramKey none = key();
    // Stage 1 still runs (its texture is bound) but reads only CURRENT.
    EXPECT_EQ(none.stageCount, 2);
    EXPECT_EQ(none.stages[1].readsTexture, 0);
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0x12345678; // another colour, alpha still 0x12
    const ProgramKey some = key();
    EXPECT_NE(some, none);
    EXPECT_EQ(some.stages[1].readsTexture, 1);
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0x00000000;
    EXPECT_EQ(key(), none);
    stage(1, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    EXPECT_EQ(key(), none);
    // Alpha 1: the first argument, the texture.
    stage(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    state.renderStates[D3DRS_TEXTUREFACTOR] = 0xFF000000;
    const ProgramKey all = key();
    stage(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE, D3DTA_TEXTURE,
          D3DTA_CURRENT);
    EXPECT_EQ(key(), all);
    EXPECT_EQ(all.stages[1].readsTexture, 1);
}

TEST_F(ProgramKeyTest, LightsBeyondEightAndAlwaysPassingTestsAreDropped) {
    state.renderStates[D3DRS_LIGHTING] = 1;
    for (uint32_t index = 0; index < 12; ++index)
        state.lights[index * 5].enabled = 1;
    state.lights[35].light.Type = D3DLIGHT_POINT; // the eighth enabled light
    state.lights[40].light.Type = D3DLIGHT_POINT; // the ninth: not drawn
    EXPECT_EQ(key().lightCount, shaderLightCount);
    EXPECT_EQ(key().directionalLights, 0x7F);
    // Unknown comparison codes pass every pixel, as ALWAYS does.
    state.renderStates[D3DRS_ALPHATESTENABLE] = 1;
    state.renderStates[D3DRS_ALPHAFUNC] = 0;
    EXPECT_EQ(key().alphaTest, 0);
    state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_NEVER;
    EXPECT_EQ(key().alphaTest, 1);
}

TEST_F(ProgramKeyTest, SourcesHoldNoRunTimeChoiceOfOperation) {
    state.textures[0] = someTexture;
    stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE,
          D3DTA_DIFFUSE);
    state.renderStates[D3DRS_LIGHTING] = 1;
    state.lights[0].enabled = 1;
    state.renderStates[D3DRS_ALPHATESTENABLE] = 1;
    state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
    const std::string fragment = fragmentShaderSource(key());
    const std::string vertex = vertexShaderSource(key());
    for (const std::string* source : {&fragment, &vertex}) {
        EXPECT_EQ(source->find("uniform int"), std::string::npos) << *source;
        EXPECT_EQ(source->find("uniform bool"), std::string::npos) << *source;
        EXPECT_EQ(source->find("for ("), std::string::npos) << *source;
    }
    EXPECT_NE(fragment.find("a * b"), std::string::npos) << fragment;
    EXPECT_NE(fragment.find("a >= uAlphaRef"), std::string::npos) << fragment;
    // Without lighting and alpha test their uniforms are gone.
    state.renderStates[D3DRS_LIGHTING] = 0;
    state.renderStates[D3DRS_ALPHATESTENABLE] = 0;
    EXPECT_EQ(vertexShaderSource(key()).find("uLightVector"), std::string::npos);
    EXPECT_EQ(fragmentShaderSource(key()).find("uAlphaRef"), std::string::npos);
}

} // namespace
