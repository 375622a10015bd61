// GLSL of the fixed-function pipeline: transform (or pre-transformed
// screen positions), D3D lighting, point sizes, texture stages, alpha test.
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

namespace gfx::gl {

std::string vertexShaderSource() {
    return R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in float aPointSize;
layout(location = 3) in vec4 aDiffuse;
layout(location = 4) in vec4 aSpecular;
layout(location = 5) in vec2 aTexCoord0;
layout(location = 6) in vec2 aTexCoord1;
layout(location = 7) in vec2 aTexCoord2;
layout(location = 8) in vec2 aTexCoord3;

uniform bool uPretransformed;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform vec4 uViewport;      // D3D viewport: x, y from the top, width, height (pixels)
uniform bool uZeroToOne;     // clip control maps z in [0, w] directly

uniform bool uLighting;
uniform bool uNormalizeNormals;
uniform vec4 uAmbient;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialEmissive;
uniform int uDiffuseSource;  // 0 material, 1 vertex diffuse, 2 vertex specular
uniform int uAmbientSource;
uniform int uEmissiveSource;
uniform int uLightCount;
uniform int uLightDirectional[8];
uniform vec3 uLightVector[8];      // directional: unit vector toward the light; else position (view space)
uniform vec4 uLightDiffuse[8];
uniform vec4 uLightAmbient[8];
uniform vec4 uLightAttenuation[8]; // a0, a1, a2, range

uniform bool uHasPointSize;
uniform float uPointSize;
uniform bool uPointScale;
uniform vec3 uPointScaleAbc;
uniform vec2 uPointSizeRange; // min, max (max already within the device's limit)

out vec4 vDiffuse;
flat out vec4 vDiffuseFlat;
out vec4 vSpecular;
flat out vec4 vSpecularFlat;
out vec2 vTexCoord[4];

vec4 materialSource(int source, vec4 material) {
    if (source == 1) return aDiffuse;
    if (source == 2) return aSpecular;
    return material;
}

void main() {
    vec3 eye = vec3(0.0);
    if (uPretransformed) {
        // D3D screen pixels (centres on integers) to GL window coordinates
        // (centres on half-integers), then to clip space with w = 1 / rhw
        // for perspective-correct interpolation.
        float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 window = aPosition.xy + 0.5;
        vec2 ndc = (window - uViewport.xy) / uViewport.zw * 2.0 - 1.0;
        float z = uZeroToOne ? aPosition.z : aPosition.z * 2.0 - 1.0;
        gl_Position = vec4(ndc * w, z * w, w);
    } else {
        vec4 eyePosition = uWorldView * vec4(aPosition.xyz, 1.0);
        eye = eyePosition.xyz;
        vec4 clip = uProjection * eyePosition;
        // y down the image, and half a pixel right and down: D3D's pixel centres.
        clip.y = -clip.y;
        clip.x += clip.w / uViewport.z;
        clip.y += clip.w / uViewport.w;
        if (!uZeroToOne) clip.z = clip.z * 2.0 - clip.w;
        gl_Position = clip;
    }

    vec4 diffuse = aDiffuse;
    vec4 specular = aSpecular;
    if (uLighting && !uPretransformed) {
        vec3 n = mat3(uWorldView) * aNormal;
        if (uNormalizeNormals && dot(n, n) > 0.0) n = normalize(n);
        vec4 md = materialSource(uDiffuseSource, uMaterialDiffuse);
        vec4 ma = materialSource(uAmbientSource, uMaterialAmbient);
        vec4 me = materialSource(uEmissiveSource, uMaterialEmissive);
        vec3 colour = me.rgb + uAmbient.rgb * ma.rgb;
        for (int i = 0; i < uLightCount; ++i) {
            vec3 l = uLightVector[i];
            float attenuation = 1.0;
            if (uLightDirectional[i] == 0) {
                vec3 toLight = uLightVector[i] - eye;
                float d = length(toLight);
                if (d > uLightAttenuation[i].w) continue;
                l = d > 0.0 ? toLight / d : vec3(0.0);
                float q = uLightAttenuation[i].x + uLightAttenuation[i].y * d +
                          uLightAttenuation[i].z * d * d;
                attenuation = q > 0.0 ? 1.0 / q : 1.0;
            }
            colour += attenuation * (uLightAmbient[i].rgb * ma.rgb +
                                     uLightDiffuse[i].rgb * md.rgb * max(dot(n, l), 0.0));
        }
        diffuse = vec4(clamp(colour, 0.0, 1.0), md.a);
        specular = vec4(0.0);
    }
    vDiffuse = diffuse;
    vDiffuseFlat = diffuse;
    vSpecular = specular;
    vSpecularFlat = specular;

    float size = uHasPointSize ? aPointSize : uPointSize;
    if (uPointScale && !uPretransformed) {
        float de = length(eye);
        float q = uPointScaleAbc.x + uPointScaleAbc.y * de + uPointScaleAbc.z * de * de;
        size = q > 0.0 ? uViewport.w * size * sqrt(1.0 / q) : uPointSizeRange.y;
    }
    gl_PointSize = clamp(size, uPointSizeRange.x, uPointSizeRange.y);

    vTexCoord[0] = aTexCoord0;
    vTexCoord[1] = aTexCoord1;
    vTexCoord[2] = aTexCoord2;
    vTexCoord[3] = aTexCoord3;
}
)";
}

namespace {

// One unrolled stage: samplers may only be indexed by constants in GLSL 3.30.
std::string stageCode(int stage) {
    const std::string s = std::to_string(stage);
    return "    if (uStageCount > " + s +
           ") {\n"
           "        vec2 coord = uPointSprite ? gl_PointCoord : vTexCoord[uTexCoordIndex[" +
           s +
           "]];\n"
           "        vec4 texel = uStageReadsTexture[" +
           s + "] ? texture(uTexture" + s +
           ", coord) : vec4(1.0);\n"
           "        current = evaluateStage(" +
           s +
           ", current, texel, diffuse, specular);\n"
           "    }\n";
}

} // namespace

std::string fragmentShaderSource() {
    std::string source = R"(#version 330 core
in vec4 vDiffuse;
flat in vec4 vDiffuseFlat;
in vec4 vSpecular;
flat in vec4 vSpecularFlat;
in vec2 vTexCoord[4];

uniform bool uFlatShading;
uniform bool uSpecularEnable;
uniform int uStageCount; // stages before the cascade ends
uniform int uColorOp[8];
uniform int uColorArg1[8];
uniform int uColorArg2[8];
uniform int uAlphaOp[8];
uniform int uAlphaArg1[8];
uniform int uAlphaArg2[8];
uniform int uTexCoordIndex[8];
uniform bool uStageReadsTexture[8];
uniform vec4 uTextureFactor;
uniform bool uPointSprite;
uniform bool uAlphaTest;
uniform int uAlphaFunc; // D3DCMP_*
uniform float uAlphaRef; // 0 .. 255
uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
uniform sampler2D uTexture2;
uniform sampler2D uTexture3;
uniform sampler2D uTexture4;
uniform sampler2D uTexture5;
uniform sampler2D uTexture6;
uniform sampler2D uTexture7;

out vec4 fragColour;

// D3DTA_*: DIFFUSE 0, CURRENT 1, TEXTURE 2, TFACTOR 3, SPECULAR 4;
// COMPLEMENT 0x10, ALPHAREPLICATE 0x20.
vec4 argument(int code, vec4 current, vec4 texel, vec4 diffuse, vec4 specular) {
    int select = code & 15;
    vec4 value = current;
    if (select == 0) value = diffuse;
    else if (select == 2) value = texel;
    else if (select == 3) value = uTextureFactor;
    else if (select == 4) value = specular;
    if ((code & 16) != 0) value = vec4(1.0) - value;
    if ((code & 32) != 0) value = vec4(value.a);
    return value;
}

// D3DTOP_*; DISABLE never reaches here for colour.
vec4 operation(int op, vec4 a, vec4 b, vec4 current, vec4 texel, vec4 diffuse) {
    if (op == 2) return a;                               // SELECTARG1
    if (op == 3) return b;                               // SELECTARG2
    if (op == 4) return a * b;                           // MODULATE
    if (op == 5) return 2.0 * a * b;                     // MODULATE2X
    if (op == 6) return 4.0 * a * b;                     // MODULATE4X
    if (op == 7) return a + b;                           // ADD
    if (op == 8) return a + b - 0.5;                     // ADDSIGNED
    if (op == 9) return 2.0 * (a + b - 0.5);             // ADDSIGNED2X
    if (op == 10) return a - b;                          // SUBTRACT
    if (op == 11) return a + b - a * b;                  // ADDSMOOTH
    if (op == 12) return mix(b, a, diffuse.a);           // BLENDDIFFUSEALPHA
    if (op == 13) return mix(b, a, texel.a);             // BLENDTEXTUREALPHA
    if (op == 14) return mix(b, a, uTextureFactor.a);    // BLENDFACTORALPHA
    if (op == 15) return a + b * (1.0 - texel.a);        // BLENDTEXTUREALPHAPM
    if (op == 16) return mix(b, a, current.a);           // BLENDCURRENTALPHA
    return a;
}

vec4 evaluateStage(int i, vec4 current, vec4 texel, vec4 diffuse, vec4 specular) {
    vec4 c1 = argument(uColorArg1[i], current, texel, diffuse, specular);
    vec4 c2 = argument(uColorArg2[i], current, texel, diffuse, specular);
    vec3 colour = clamp(operation(uColorOp[i], c1, c2, current, texel, diffuse).rgb, 0.0, 1.0);
    float alpha = current.a; // ALPHAOP DISABLE passes the alpha through
    if (uAlphaOp[i] != 1) {
        vec4 a1 = argument(uAlphaArg1[i], current, texel, diffuse, specular);
        vec4 a2 = argument(uAlphaArg2[i], current, texel, diffuse, specular);
        alpha = clamp(operation(uAlphaOp[i], a1, a2, current, texel, diffuse).a, 0.0, 1.0);
    }
    return vec4(colour, alpha);
}

bool alphaPasses(float alpha) {
    float a = floor(alpha * 255.0 + 0.5);
    if (uAlphaFunc == 1) return false;
    if (uAlphaFunc == 2) return a < uAlphaRef;
    if (uAlphaFunc == 3) return a == uAlphaRef;
    if (uAlphaFunc == 4) return a <= uAlphaRef;
    if (uAlphaFunc == 5) return a > uAlphaRef;
    if (uAlphaFunc == 6) return a != uAlphaRef;
    if (uAlphaFunc == 7) return a >= uAlphaRef;
    return true;
}

void main() {
    vec4 diffuse = uFlatShading ? vDiffuseFlat : vDiffuse;
    vec4 specular = uFlatShading ? vSpecularFlat : vSpecular;
    vec4 current = diffuse;
)";
    for (int stage = 0; stage < shaderStageCount; ++stage)
        source += stageCode(stage);
    source += R"(    if (uSpecularEnable) current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);
    if (uAlphaTest && !alphaPasses(current.a)) discard;
    fragColour = current;
}
)";
    return source;
}

} // namespace gfx::gl
