// The program key of a draw: the D3D states that select shader code,
// normalised so that states with the same result share one program.
#include "gfx/gl/GlProgramKey.h"

#include "gfx/device/StageCascade.h"

#include <cstring>
#include <type_traits>

namespace gfx::gl {

namespace {

// Operations the shader does not know select their first argument; one
// code stands for all of them.
uint8_t operationCode(uint32_t op) {
    return op >= D3DTOP_DISABLE && op <= D3DTOP_BLENDCURRENTALPHA ? uint8_t(op) : 0;
}

// A D3DTA_* argument: the selector (selectors past SPECULAR read CURRENT,
// as TEMP does without a temporary register) and the two modifier bits.
uint8_t argumentCode(uint32_t argument) {
    uint32_t select = argument & D3DTA_SELECTMASK;
    if (select > D3DTA_SPECULAR) select = D3DTA_CURRENT;
    return uint8_t(select | (argument & (D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)));
}

// An alpha argument; one that reads a missing texture reads CURRENT.
uint8_t alphaArgumentCode(uint32_t argument, bool textureBound) {
    const uint8_t code = argumentCode(argument);
    if (textureBound || (code & D3DTA_SELECTMASK) != D3DTA_TEXTURE) return code;
    return uint8_t((code & ~D3DTA_SELECTMASK) | D3DTA_CURRENT);
}

// A material colour source; a vertex colour the format lacks falls back to
// the material, as Direct3D does.
MaterialSource materialSource(uint32_t source, const VertexLayout& layout, bool colourVertex) {
    if (!colourVertex) return MaterialSource::material;
    if (source == D3DMCS_COLOR1 && layout.diffuse >= 0) return MaterialSource::vertexDiffuse;
    if (source == D3DMCS_COLOR2 && layout.specular >= 0) return MaterialSource::vertexSpecular;
    return MaterialSource::material;
}

bool selectsTexture(uint8_t argument) {
    return (argument & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
}

// Whether the code of a stage (its operations and the arguments they read,
// already keyed) samples the stage's texture.
bool readsTexture(const StageKey& stage) {
    const auto half = [](uint8_t op, uint8_t arg1, uint8_t arg2) {
        return op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM ||
               (operationReadsFirst(op) && selectsTexture(arg1)) ||
               (operationReadsSecond(op) && selectsTexture(arg2));
    };
    return half(stage.colourOp, stage.colourArg1, stage.colourArg2) ||
           (stage.alphaOp != D3DTOP_DISABLE &&
            half(stage.alphaOp, stage.alphaArg1, stage.alphaArg2));
}

} // namespace

bool operationReadsFirst(uint32_t op) {
    return op != D3DTOP_SELECTARG2;
}

bool operationReadsSecond(uint32_t op) {
    return op >= D3DTOP_SELECTARG2 && op <= D3DTOP_BLENDCURRENTALPHA;
}

size_t ProgramKeyHash::operator()(const ProgramKey& key) const {
    static_assert(std::has_unique_object_representations_v<ProgramKey>,
                  "ProgramKey must stay padding-free: its bytes are its value");
    unsigned char bytes[sizeof(ProgramKey)];
    std::memcpy(bytes, &key, sizeof bytes);
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return size_t(hash);
}

ProgramKey programKeyOf(const DeviceState& state, const DrawSetup& setup) {
    const auto rs = [&](D3DRENDERSTATETYPE type) { return state.renderStates[type]; };
    const VertexLayout& layout = setup.layout;
    ProgramKey key;
    key.pretransformed = layout.pretransformed;
    key.zeroToOne = setup.zeroToOne;

    // ---- lighting (transformed vertices only)
    key.lighting = !layout.pretransformed && rs(D3DRS_LIGHTING) != 0;
    if (!key.lighting) {
        key.vertexDiffuse = layout.diffuse >= 0;
        key.vertexSpecular = layout.specular >= 0;
    } else {
        key.normalizeNormals = rs(D3DRS_NORMALIZENORMALS) != 0;
        const bool colourVertex = rs(D3DRS_COLORVERTEX) != 0;
        key.diffuseSource = materialSource(rs(D3DRS_DIFFUSEMATERIALSOURCE), layout, colourVertex);
        key.ambientSource = materialSource(rs(D3DRS_AMBIENTMATERIALSOURCE), layout, colourVertex);
        key.emissiveSource = materialSource(rs(D3DRS_EMISSIVEMATERIALSOURCE), layout, colourVertex);
        for (const auto& [index, slot] : state.lights) {
            if (!slot.enabled) continue;
            if (slot.light.Type == D3DLIGHT_DIRECTIONAL)
                key.directionalLights |= uint8_t(1u << key.lightCount);
            if (++key.lightCount == shaderLightCount) break;
        }
    }

    // ---- texture stages
    const uint32_t stages = activeStageCount(state, shaderStageCount);
    key.stageCount = uint8_t(stages);
    // A blend by the texture factor's alpha at 0 or 1 is exactly one of its
    // arguments (x (1 - 0) + y 0 = x), so it is keyed as that selection and
    // skips the other argument, and its texture read where that was the
    // texture (the blur stage of a planet that does not spin fast).
    const uint32_t factorAlpha = rs(D3DRS_TEXTUREFACTOR) >> 24;
    const auto settled = [&](uint8_t op) -> uint8_t {
        if (op != D3DTOP_BLENDFACTORALPHA) return op;
        if (factorAlpha == 0) return uint8_t(D3DTOP_SELECTARG2);
        if (factorAlpha == 255) return uint8_t(D3DTOP_SELECTARG1);
        return op;
    };
    bool anyTexture = false;
    for (uint32_t i = 0; i < stages; ++i) {
        const auto& s = state.stageStates[i];
        StageKey& stage = key.stages[i];
        stage.colourOp = settled(operationCode(s[D3DTSS_COLOROP]));
        if (operationReadsFirst(stage.colourOp))
            stage.colourArg1 = argumentCode(s[D3DTSS_COLORARG1]);
        if (operationReadsSecond(stage.colourOp))
            stage.colourArg2 = argumentCode(s[D3DTSS_COLORARG2]);
        stage.alphaOp = settled(operationCode(s[D3DTSS_ALPHAOP]));
        // A running stage without a texture has a colour operation that does
        // not read it (StageCascade.h); where its alpha operation does, the
        // texture's alpha is the current alpha.
        const bool bound = state.textures[i] != nullptr;
        if (!bound && stage.alphaOp == D3DTOP_BLENDTEXTUREALPHA)
            stage.alphaOp = uint8_t(D3DTOP_BLENDCURRENTALPHA);
        if (stage.alphaOp != D3DTOP_DISABLE) {
            if (operationReadsFirst(stage.alphaOp))
                stage.alphaArg1 = alphaArgumentCode(s[D3DTSS_ALPHAARG1], bound);
            if (operationReadsSecond(stage.alphaOp))
                stage.alphaArg2 = alphaArgumentCode(s[D3DTSS_ALPHAARG2], bound);
        }
        // The premultiplied blend on a missing texture blends by the current
        // alpha (the shader's texel is then the current colour) and samples nothing.
        stage.readsTexture = bound && readsTexture(stage);
        if (stage.readsTexture) {
            anyTexture = true;
            // Sets the format lacks read the first one.
            const uint32_t set = s[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
            stage.texCoordIndex =
                set < layout.texCoordCount && set < uint32_t(shaderTexCoordSets) ? uint8_t(set) : 0;
        }
    }

    // ---- points: the size matters only where points are rasterised
    key.points = setup.pointList || rs(D3DRS_FILLMODE) == D3DFILL_POINT;
    if (key.points) {
        key.hasPointSize = layout.pointSize >= 0;
        key.pointScale = !layout.pretransformed && rs(D3DRS_POINTSCALEENABLE) != 0;
    }
    key.pointSprite = anyTexture && setup.pointList && rs(D3DRS_POINTSPRITEENABLE) != 0;

    // ---- shading, specular, alpha test
    // Flat shading matters only where a colour varies over the primitive.
    key.flatShading = rs(D3DRS_SHADEMODE) == D3DSHADE_FLAT &&
                      (key.lighting || key.vertexDiffuse || key.vertexSpecular);
    key.specularEnable = rs(D3DRS_SPECULARENABLE) != 0;
    const uint32_t func = rs(D3DRS_ALPHAFUNC);
    // ALWAYS and codes the test does not know let every pixel pass.
    if (rs(D3DRS_ALPHATESTENABLE) != 0 && func >= D3DCMP_NEVER && func < D3DCMP_ALWAYS) {
        key.alphaTest = 1;
        key.alphaFunc = uint8_t(func);
    }
    return key;
}

} // namespace gfx::gl
