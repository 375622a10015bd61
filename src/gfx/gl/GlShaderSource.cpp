// GLSL of the fixed-function pipeline for one program key: transform (or
// pre-transformed screen positions), D3D lighting, point sizes, texture
// stages, alpha test.  Each state the key fixes is written out as the code
// it selects (a stage as its operation on its arguments, a light as a
// directional or a point light), so llvmpipe, which runs both sides of
// every branch on its SIMD lanes, executes only the work the draw needs.
//
// Frames: positions arrive in model space (XYZ) or in D3D screen pixels
// (XYZRHW, y down, pixel centres on integers); uWorldView takes model space
// to view space, uProjection view space to D3D clip space (0 <= z <= w).
// Matrices are D3D's row-major arrays uploaded unchanged, so GL reads them
// transposed and `M * v` computes D3D's v x M.
//
// The back buffer is stored top row first: GL's window y runs the way D3D's
// screen y does (down the image), so clip-space y is negated and GL's edge
// rules fall on the same pixels as D3D's top-left rule.
#include "gfx/gl/GlShaderSource.h"

#include <algorithm>

namespace gfx::gl {

namespace {

bool argumentRead(const StageKey& stage, int argument) {
    const bool colour = argument < 2, first = argument % 2 == 0;
    const uint8_t op = colour ? stage.colourOp : stage.alphaOp;
    if (!colour && op == D3DTOP_DISABLE) return false;
    return first ? operationReadsFirst(op) : operationReadsSecond(op);
}

uint8_t argumentOf(const StageKey& stage, int argument) {
    const uint8_t codes[4] = {stage.colourArg1, stage.colourArg2, stage.alphaArg1, stage.alphaArg2};
    return codes[argument];
}

// Whether any argument a stage reads selects `select` (a D3DTA_* selector).
bool stagesSelect(const ProgramKey& key, uint32_t select) {
    for (int i = 0; i < key.stageCount; ++i)
        for (int argument = 0; argument < 4; ++argument)
            if (argumentRead(key.stages[i], argument) &&
                (argumentOf(key.stages[i], argument) & D3DTA_SELECTMASK) == select)
                return true;
    return false;
}

bool readsSpecular(const ProgramKey& key) {
    return key.specularEnable || stagesSelect(key, D3DTA_SPECULAR);
}

// Colours that vary over a primitive travel as varyings; the others are
// constants of the fragment shader: opaque white without a diffuse colour,
// zero specular without one or under lighting (Direct3D's values).
bool diffuseVaries(const ProgramKey& key) {
    return key.lighting || key.vertexDiffuse;
}

bool specularVaries(const ProgramKey& key) {
    return !key.lighting && key.vertexSpecular && readsSpecular(key);
}

bool readsTextureFactor(const ProgramKey& key) {
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stages[i].colourOp == D3DTOP_BLENDFACTORALPHA ||
            key.stages[i].alphaOp == D3DTOP_BLENDFACTORALPHA)
            return true;
    return stagesSelect(key, D3DTA_TFACTOR);
}

// Bit s: the fragment shader reads texture coordinate set s.
unsigned texCoordSetsRead(const ProgramKey& key) {
    if (key.pointSprite) return 0;
    unsigned sets = 0;
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stages[i].readsTexture) sets |= 1u << key.stages[i].texCoordIndex;
    return sets;
}

std::string materialColour(MaterialSource source, const char* material) {
    switch (source) {
    case MaterialSource::vertexDiffuse:
        return "aDiffuse";
    case MaterialSource::vertexSpecular:
        return "aSpecular";
    case MaterialSource::material:
        break;
    }
    return material;
}

// One light's term added to `colour`; `i` indexes the light uniforms.
std::string lightCode(int i, bool directional) {
    const std::string at = "[" + std::to_string(i) + "]";
    const std::string term = "(uLightAmbient" + at + ".rgb * ma.rgb + uLightDiffuse" + at +
                             ".rgb * md.rgb * max(dot(n, l), 0.0))";
    if (directional)
        return "    {\n"
               "        vec3 l = uLightVector" +
               at +
               ";\n"
               "        colour += " +
               term +
               ";\n"
               "    }\n";
    // Point lights: inverse quadratic attenuation, nothing beyond the range.
    return "    {\n"
           "        vec3 toLight = uLightVector" +
           at +
           " - eye;\n"
           "        float d = length(toLight);\n"
           "        if (!(d > uLightAttenuation" +
           at +
           ".w)) {\n"
           "            vec3 l = d > 0.0 ? toLight / d : vec3(0.0);\n"
           "            float q = uLightAttenuation" +
           at + ".x + uLightAttenuation" + at + ".y * d + uLightAttenuation" + at +
           ".z * d * d;\n"
           "            float attenuation = q > 0.0 ? 1.0 / q : 1.0;\n"
           "            colour += attenuation * " +
           term +
           ";\n"
           "        }\n"
           "    }\n";
}

// A D3DTA_* argument in the channels `rgb` (vec3) or alpha (float).
// COMPLEMENT applies before ALPHAREPLICATE, as Direct3D orders them.
std::string argumentCode(uint8_t code, bool rgb, bool readsTexture) {
    std::string value;
    switch (code & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        value = "diffuse";
        break;
    case D3DTA_TEXTURE:
        value = readsTexture ? "texel" : "vec4(1.0)";
        break;
    case D3DTA_TFACTOR:
        value = "uTextureFactor";
        break;
    case D3DTA_SPECULAR:
        value = "specular";
        break;
    default:
        value = "current";
        break;
    }
    const bool complement = code & D3DTA_COMPLEMENT, replicate = code & D3DTA_ALPHAREPLICATE;
    if (!rgb || replicate) {
        std::string alpha = value + ".a";
        if (complement) alpha = "(1.0 - " + alpha + ")";
        return rgb ? "vec3(" + alpha + ")" : alpha;
    }
    return complement ? "(vec3(1.0) - " + value + ".rgb)" : value + ".rgb";
}

// A D3DTOP_* operation on the locals `a` and `b`; colour DISABLE never
// reaches here (it ends the cascade) and unknown codes select Arg1.
// `texel` names the texture's colour: "current" where a stage's alpha
// operation blends by a texture that is not bound.
std::string operationCode(uint8_t op, const std::string& texel) {
    switch (op) {
    case D3DTOP_SELECTARG2:
        return "b";
    case D3DTOP_MODULATE:
        return "a * b";
    case D3DTOP_MODULATE2X:
        return "2.0 * a * b";
    case D3DTOP_MODULATE4X:
        return "4.0 * a * b";
    case D3DTOP_ADD:
        return "a + b";
    case D3DTOP_ADDSIGNED:
        return "a + b - 0.5";
    case D3DTOP_ADDSIGNED2X:
        return "2.0 * (a + b - 0.5)";
    case D3DTOP_SUBTRACT:
        return "a - b";
    case D3DTOP_ADDSMOOTH:
        return "a + b - a * b";
    case D3DTOP_BLENDDIFFUSEALPHA:
        return "mix(b, a, diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
        return "mix(b, a, " + texel + ".a)";
    case D3DTOP_BLENDFACTORALPHA:
        return "mix(b, a, uTextureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return "a + b * (1.0 - " + texel + ".a)";
    case D3DTOP_BLENDCURRENTALPHA:
        return "mix(b, a, current.a)";
    default:
        return "a";
    }
}

// One half of a stage (colour or alpha) assigned to `target`.
std::string stageHalf(const StageKey& stage, bool rgb, const char* target) {
    const uint8_t op = rgb ? stage.colourOp : stage.alphaOp;
    const int first = rgb ? 0 : 2;
    const char* type = rgb ? "vec3" : "float";
    std::string code = "        {\n";
    if (argumentRead(stage, first))
        code += std::string("            ") + type +
                " a = " + argumentCode(argumentOf(stage, first), rgb, stage.readsTexture) + ";\n";
    if (argumentRead(stage, first + 1))
        code += std::string("            ") + type +
                " b = " + argumentCode(argumentOf(stage, first + 1), rgb, stage.readsTexture) +
                ";\n";
    const std::string texel = stage.readsTexture ? "texel" : "current";
    code += std::string("            ") + target + " = clamp(" + operationCode(op, texel) +
            ", 0.0, 1.0);\n        }\n";
    return code;
}

std::string stageCode(const ProgramKey& key, int i) {
    const StageKey& stage = key.stages[i];
    const std::string s = std::to_string(i);
    std::string code = "    { // stage " + s + "\n";
    if (stage.readsTexture) {
        const std::string coord =
            key.pointSprite ? "gl_PointCoord" : "vTexCoord" + std::to_string(stage.texCoordIndex);
        code += "        vec4 texel = texture(uTexture" + s + ", " + coord + ");\n";
    }
    code += "        vec3 colour;\n";
    code += stageHalf(stage, true, "colour");
    if (stage.alphaOp == D3DTOP_DISABLE) {
        code += "        float alpha = current.a; // ALPHAOP DISABLE passes the alpha on\n";
    } else {
        code += "        float alpha;\n";
        code += stageHalf(stage, false, "alpha");
    }
    code += "        current = vec4(colour, alpha);\n    }\n";
    return code;
}

const char* alphaComparison(uint8_t func) {
    switch (func) {
    case D3DCMP_LESS:
        return "a < uAlphaRef";
    case D3DCMP_EQUAL:
        return "a == uAlphaRef";
    case D3DCMP_LESSEQUAL:
        return "a <= uAlphaRef";
    case D3DCMP_GREATER:
        return "a > uAlphaRef";
    case D3DCMP_NOTEQUAL:
        return "a != uAlphaRef";
    case D3DCMP_GREATEREQUAL:
        return "a >= uAlphaRef";
    default:
        return "false"; // NEVER
    }
}

} // namespace

std::string vertexShaderSource(const ProgramKey& key) {
    const bool diffuseOut = diffuseVaries(key), specularOut = specularVaries(key);
    const unsigned sets = texCoordSetsRead(key);
    const char* interpolation = key.flatShading ? "flat " : "";
    std::string source = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in float aPointSize;
layout(location = 3) in vec4 aDiffuse;
layout(location = 4) in vec4 aSpecular;
layout(location = 5) in vec2 aTexCoord0;
layout(location = 6) in vec2 aTexCoord1;
layout(location = 7) in vec2 aTexCoord2;
layout(location = 8) in vec2 aTexCoord3;

uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform vec4 uViewport; // D3D viewport: x, y from the top, width, height (pixels)
)";
    if (key.lighting) {
        const std::string n = std::to_string(std::max<int>(key.lightCount, 1));
        source += "uniform vec4 uAmbient;\n"
                  "uniform vec4 uMaterialDiffuse;\n"
                  "uniform vec4 uMaterialAmbient;\n"
                  "uniform vec4 uMaterialEmissive;\n"
                  "// Directional: unit vector toward the light; else its position (view space).\n"
                  "uniform vec3 uLightVector[" +
                  n +
                  "];\n"
                  "uniform vec4 uLightDiffuse[" +
                  n +
                  "];\n"
                  "uniform vec4 uLightAmbient[" +
                  n +
                  "];\n"
                  "uniform vec4 uLightAttenuation[" +
                  n + "]; // a0, a1, a2, range\n";
    }
    if (key.points)
        source += "uniform float uPointSize;\n"
                  "uniform vec3 uPointScaleAbc;\n"
                  "// min, max (max already within the device's limit)\n"
                  "uniform vec2 uPointSizeRange;\n";
    source += "\n";
    if (diffuseOut) source += std::string(interpolation) + "out vec4 vDiffuse;\n";
    if (specularOut) source += std::string(interpolation) + "out vec4 vSpecular;\n";
    for (int set = 0; set < shaderTexCoordSets; ++set)
        if (sets & (1u << set)) source += "out vec2 vTexCoord" + std::to_string(set) + ";\n";

    source += "\nvoid main() {\n";
    if (key.pretransformed) {
        // D3D screen pixels (centres on integers) to GL window coordinates
        // (centres on half-integers), then to clip space with w = 1 / rhw
        // for perspective-correct interpolation.
        source += "    float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;\n"
                  "    vec2 window = aPosition.xy + 0.5;\n"
                  "    vec2 ndc = (window - uViewport.xy) / uViewport.zw * 2.0 - 1.0;\n";
        source += key.zeroToOne ? "    float z = aPosition.z;\n"
                                : "    float z = aPosition.z * 2.0 - 1.0;\n";
        source += "    gl_Position = vec4(ndc * w, z * w, w);\n";
    } else {
        // y down the image, and half a pixel right and down: D3D's pixel centres.
        source += "    vec4 eyePosition = uWorldView * vec4(aPosition.xyz, 1.0);\n"
                  "    vec3 eye = eyePosition.xyz;\n"
                  "    vec4 clip = uProjection * eyePosition;\n"
                  "    clip.y = -clip.y;\n"
                  "    clip.x += clip.w / uViewport.z;\n"
                  "    clip.y += clip.w / uViewport.w;\n";
        if (!key.zeroToOne) source += "    clip.z = clip.z * 2.0 - clip.w;\n";
        source += "    gl_Position = clip;\n";
    }

    if (key.lighting) {
        source += "    vec3 n = mat3(uWorldView) * aNormal;\n";
        if (key.normalizeNormals) source += "    if (dot(n, n) > 0.0) n = normalize(n);\n";
        source += "    vec4 md = " + materialColour(key.diffuseSource, "uMaterialDiffuse") +
                  ";\n    vec4 ma = " + materialColour(key.ambientSource, "uMaterialAmbient") +
                  ";\n    vec4 me = " + materialColour(key.emissiveSource, "uMaterialEmissive") +
                  ";\n    vec3 colour = me.rgb + uAmbient.rgb * ma.rgb;\n";
        for (int i = 0; i < key.lightCount; ++i)
            source += lightCode(i, (key.directionalLights >> i) & 1);
        source += "    vDiffuse = vec4(clamp(colour, 0.0, 1.0), md.a);\n";
    } else {
        if (diffuseOut) source += "    vDiffuse = aDiffuse;\n";
        if (specularOut) source += "    vSpecular = aSpecular;\n";
    }

    if (key.points) {
        source +=
            key.hasPointSize ? "    float size = aPointSize;\n" : "    float size = uPointSize;\n";
        if (key.pointScale)
            source += "    float de = length(eye);\n"
                      "    float q = uPointScaleAbc.x + uPointScaleAbc.y * de + "
                      "uPointScaleAbc.z * de * de;\n"
                      "    size = q > 0.0 ? uViewport.w * size * sqrt(1.0 / q) : "
                      "uPointSizeRange.y;\n";
        // Direct3D draws nothing for a point of size 0 where GL would draw
        // one pixel: such a point moves outside the clip volume, which
        // discards it whole.
        source += "    size = clamp(size, uPointSizeRange.x, uPointSizeRange.y);\n"
                  "    gl_PointSize = size;\n"
                  "    if (!(size > 0.0)) gl_Position = vec4(2.0, 2.0, 0.0, 1.0);\n";
    }
    for (int set = 0; set < shaderTexCoordSets; ++set)
        if (sets & (1u << set)) {
            const std::string s = std::to_string(set);
            source += "    vTexCoord" + s + " = aTexCoord" + s + ";\n";
        }
    source += "}\n";
    return source;
}

std::string fragmentShaderSource(const ProgramKey& key) {
    const bool diffuseIn = diffuseVaries(key), specularIn = specularVaries(key);
    const unsigned sets = texCoordSetsRead(key);
    const char* interpolation = key.flatShading ? "flat " : "";
    std::string source = "#version 330 core\n";
    if (diffuseIn) source += std::string(interpolation) + "in vec4 vDiffuse;\n";
    if (specularIn) source += std::string(interpolation) + "in vec4 vSpecular;\n";
    for (int set = 0; set < shaderTexCoordSets; ++set)
        if (sets & (1u << set)) source += "in vec2 vTexCoord" + std::to_string(set) + ";\n";
    if (readsTextureFactor(key)) source += "uniform vec4 uTextureFactor;\n";
    if (key.alphaTest) source += "uniform float uAlphaRef; // 0 .. 255\n";
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stages[i].readsTexture)
            source += "uniform sampler2D uTexture" + std::to_string(i) + ";\n";
    source += "out vec4 fragColour;\n\nvoid main() {\n";
    source +=
        diffuseIn ? "    vec4 diffuse = vDiffuse;\n" : "    const vec4 diffuse = vec4(1.0);\n";
    if (readsSpecular(key))
        source += specularIn ? "    vec4 specular = vSpecular;\n"
                             : "    const vec4 specular = vec4(0.0);\n";
    source += "    vec4 current = diffuse;\n";
    for (int i = 0; i < key.stageCount; ++i)
        source += stageCode(key, i);
    if (key.specularEnable)
        source += "    current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    if (key.alphaTest) {
        // Alpha as the 0..255 integer Direct3D compares with ALPHAREF.
        source += "    float a = floor(current.a * 255.0 + 0.5);\n"
                  "    if (!(" +
                  std::string(alphaComparison(key.alphaFunc)) + ")) discard;\n";
    }
    source += "    fragColour = current;\n}\n";
    return source;
}

} // namespace gfx::gl
