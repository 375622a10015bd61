// Program creation and the translation of D3D state into uniforms.
#include "gfx/gl/GlPipeline.h"

#include "gfx/StageCascade.h"
#include "gfx/gl/GlShaderSource.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx::gl {

namespace {

GLuint compile(GlFunctions& gl, GLenum type, const std::string& source, std::string& log) {
    const GLuint shader = gl.glCreateShader(type);
    const char* text = source.c_str();
    gl.glShaderSource(shader, 1, &text, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        gl.glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string message(size_t(std::max(length, 1)), '\0');
        gl.glGetShaderInfoLog(shader, length, nullptr, message.data());
        log += (type == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") + message;
        gl.glDeleteShader(shader);
        return 0;
    }
    return shader;
}

void colourOf(D3DCOLOR colour, float out[4]) {
    out[0] = float((colour >> 16) & 0xFF) / 255.0f;
    out[1] = float((colour >> 8) & 0xFF) / 255.0f;
    out[2] = float(colour & 0xFF) / 255.0f;
    out[3] = float(colour >> 24) / 255.0f;
}

// A material colour source; a vertex colour the format lacks falls back to
// the material, as Direct3D does.
int materialSource(uint32_t source, const VertexLayout& layout, bool colourVertex) {
    if (!colourVertex) return 0;
    if (source == D3DMCS_COLOR1 && layout.diffuse >= 0) return 1;
    if (source == D3DMCS_COLOR2 && layout.specular >= 0) return 2;
    return 0;
}

// v x M for a direction (w = 0).
D3DVECTOR transformDirection(const D3DVECTOR& v, const D3DMATRIX& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

D3DVECTOR transformPoint(const D3DVECTOR& v, const D3DMATRIX& m) {
    D3DVECTOR d = transformDirection(v, m);
    return {d.x + m.m[3][0], d.y + m.m[3][1], d.z + m.m[3][2]};
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[r][k] * b.m[k][c];
            out.m[r][c] = sum;
        }
    return out;
}

} // namespace

std::unique_ptr<GlPipeline> GlPipeline::create(GlFunctions& gl, std::string& log) {
    const GLuint vertex = compile(gl, GL_VERTEX_SHADER, vertexShaderSource(), log);
    const GLuint fragment = compile(gl, GL_FRAGMENT_SHADER, fragmentShaderSource(), log);
    if (!vertex || !fragment) {
        if (vertex) gl.glDeleteShader(vertex);
        if (fragment) gl.glDeleteShader(fragment);
        return nullptr;
    }
    const GLuint program = gl.glCreateProgram();
    gl.glAttachShader(program, vertex);
    gl.glAttachShader(program, fragment);
    gl.glLinkProgram(program);
    gl.glDeleteShader(vertex);
    gl.glDeleteShader(fragment);
    GLint ok = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        gl.glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string message(size_t(std::max(length, 1)), '\0');
        gl.glGetProgramInfoLog(program, length, nullptr, message.data());
        log += "link: " + message;
        gl.glDeleteProgram(program);
        return nullptr;
    }
    std::unique_ptr<GlPipeline> pipeline(new GlPipeline(gl, program));
    // Sampler i reads texture unit i, once and for all.
    gl.glUseProgram(program);
    for (int stage = 0; stage < shaderStageCount; ++stage)
        gl.glUniform1i(pipeline->location(("uTexture" + std::to_string(stage)).c_str()), stage);
    gl.glUseProgram(0);
    return pipeline;
}

GlPipeline::GlPipeline(GlFunctions& gl, GLuint program) : gl(gl), programName(program) {}

GlPipeline::~GlPipeline() {
    gl.glDeleteProgram(programName);
}

GLint GlPipeline::location(const char* name) {
    auto found = locations.find(std::string_view(name));
    if (found != locations.end()) return found->second;
    const GLint at = gl.glGetUniformLocation(programName, name);
    locations.emplace(name, at);
    return at;
}

bool GlPipeline::changed(GLint at, const void* data, size_t bytes) {
    if (at < 0) return false; // optimised away by the compiler
    std::vector<uint8_t>& last = sent[at];
    if (last.size() == bytes && std::memcmp(last.data(), data, bytes) == 0) return false;
    last.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + bytes);
    return true;
}

void GlPipeline::setInt(const char* name, int value) {
    const GLint at = location(name);
    if (changed(at, &value, sizeof value)) GL_CHECK(gl, glUniform1i(at, value));
}
void GlPipeline::setInts(const char* name, const int* values, int count) {
    const GLint at = location(name);
    if (changed(at, values, sizeof(int) * size_t(count)))
        GL_CHECK(gl, glUniform1iv(at, count, values));
}
void GlPipeline::setFloat(const char* name, float value) {
    const GLint at = location(name);
    if (changed(at, &value, sizeof value)) GL_CHECK(gl, glUniform1f(at, value));
}
void GlPipeline::setVec2(const char* name, float x, float y) {
    const float v[2] = {x, y};
    const GLint at = location(name);
    if (changed(at, v, sizeof v)) GL_CHECK(gl, glUniform2fv(at, 1, v));
}
void GlPipeline::setVec3(const char* name, float x, float y, float z) {
    const float v[3] = {x, y, z};
    setVec3s(name, v, 1);
}
void GlPipeline::setVec3s(const char* name, const float* values, int count) {
    const GLint at = location(name);
    if (changed(at, values, sizeof(float) * 3 * size_t(count)))
        GL_CHECK(gl, glUniform3fv(at, count, values));
}
void GlPipeline::setVec4(const char* name, const float* value) {
    setVec4s(name, value, 1);
}
void GlPipeline::setVec4s(const char* name, const float* values, int count) {
    const GLint at = location(name);
    if (changed(at, values, sizeof(float) * 4 * size_t(count)))
        GL_CHECK(gl, glUniform4fv(at, count, values));
}
void GlPipeline::setMatrix(const char* name, const D3DMATRIX& matrix) {
    const GLint at = location(name);
    // D3D's row-major array read as column-major is its transpose: the
    // shader's M * v is D3D's v x M.
    if (changed(at, &matrix.m[0][0], sizeof matrix.m))
        GL_CHECK(gl, glUniformMatrix4fv(at, 1, GL_FALSE, &matrix.m[0][0]));
}

void GlPipeline::upload(const DeviceState& state, const DrawSetup& setup) {
    const auto rs = [&](D3DRENDERSTATETYPE type) { return state.renderStates[type]; };
    const VertexLayout& layout = setup.layout;

    // ---- transform and viewport
    const D3DVIEWPORT8& vp = state.viewport;
    setInt("uPretransformed", layout.pretransformed);
    const D3DMATRIX& view = state.transform(D3DTS_VIEW);
    const D3DMATRIX worldView = multiply(state.transform(D3DTS_WORLD), view);
    setMatrix("uWorldView", worldView);
    setMatrix("uProjection", state.transform(D3DTS_PROJECTION));
    const float viewport[4] = {float(vp.X), float(vp.Y), float(vp.Width), float(vp.Height)};
    setVec4("uViewport", viewport);
    setInt("uZeroToOne", setup.zeroToOne);

    // ---- lighting
    const bool lighting = rs(D3DRS_LIGHTING) != 0;
    setInt("uLighting", lighting);
    if (lighting) {
        setInt("uNormalizeNormals", rs(D3DRS_NORMALIZENORMALS) != 0);
        float ambient[4];
        colourOf(rs(D3DRS_AMBIENT), ambient);
        setVec4("uAmbient", ambient);
        setVec4("uMaterialDiffuse", &state.material.Diffuse.r);
        setVec4("uMaterialAmbient", &state.material.Ambient.r);
        setVec4("uMaterialEmissive", &state.material.Emissive.r);
        const bool colourVertex = rs(D3DRS_COLORVERTEX) != 0;
        setInt("uDiffuseSource",
               materialSource(rs(D3DRS_DIFFUSEMATERIALSOURCE), layout, colourVertex));
        setInt("uAmbientSource",
               materialSource(rs(D3DRS_AMBIENTMATERIALSOURCE), layout, colourVertex));
        setInt("uEmissiveSource",
               materialSource(rs(D3DRS_EMISSIVEMATERIALSOURCE), layout, colourVertex));
        int count = 0;
        int directional[shaderLightCount] = {};
        float vectors[shaderLightCount][3] = {};
        float diffuse[shaderLightCount][4] = {}, lightAmbient[shaderLightCount][4] = {};
        float attenuation[shaderLightCount][4] = {};
        for (const auto& [index, slot] : state.lights) {
            if (!slot.enabled || count == shaderLightCount) continue;
            const D3DLIGHT8& light = slot.light;
            D3DVECTOR v;
            if (light.Type == D3DLIGHT_DIRECTIONAL) {
                // Toward the light: L = -Direction, in view space, unit length.
                v = transformDirection(light.Direction, view);
                const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
                const float scale = length > 0 ? -1.0f / length : 0.0f;
                v = {v.x * scale, v.y * scale, v.z * scale};
                directional[count] = 1;
            } else {
                v = transformPoint(light.Position, view);
            }
            vectors[count][0] = v.x;
            vectors[count][1] = v.y;
            vectors[count][2] = v.z;
            std::memcpy(diffuse[count], &light.Diffuse.r, sizeof diffuse[count]);
            std::memcpy(lightAmbient[count], &light.Ambient.r, sizeof lightAmbient[count]);
            attenuation[count][0] = light.Attenuation0;
            attenuation[count][1] = light.Attenuation1;
            attenuation[count][2] = light.Attenuation2;
            attenuation[count][3] = light.Range;
            ++count;
        }
        setInt("uLightCount", count);
        setInts("uLightDirectional", directional, shaderLightCount);
        setVec3s("uLightVector", &vectors[0][0], shaderLightCount);
        setVec4s("uLightDiffuse", &diffuse[0][0], shaderLightCount);
        setVec4s("uLightAmbient", &lightAmbient[0][0], shaderLightCount);
        setVec4s("uLightAttenuation", &attenuation[0][0], shaderLightCount);
    }

    // ---- points
    setInt("uHasPointSize", layout.pointSize >= 0);
    setFloat("uPointSize", state.renderStateFloat(D3DRS_POINTSIZE));
    setInt("uPointScale", rs(D3DRS_POINTSCALEENABLE) != 0);
    setVec3("uPointScaleAbc", state.renderStateFloat(D3DRS_POINTSCALE_A),
            state.renderStateFloat(D3DRS_POINTSCALE_B), state.renderStateFloat(D3DRS_POINTSCALE_C));
    const float maxSize = std::min(state.renderStateFloat(D3DRS_POINTSIZE_MAX), setup.maxPointSize);
    const float minSize = std::min(state.renderStateFloat(D3DRS_POINTSIZE_MIN), maxSize);
    setVec2("uPointSizeRange", minSize, maxSize);
    setInt("uPointSprite", setup.pointList && rs(D3DRS_POINTSPRITEENABLE) != 0);

    // ---- texture stages
    const int stages = int(activeStageCount(state, shaderStageCount));
    setInt("uStageCount", stages);
    int colourOp[8], colourArg1[8], colourArg2[8], alphaOp[8], alphaArg1[8], alphaArg2[8];
    int texCoordIndex[8], readsTexture[8];
    for (int i = 0; i < shaderStageCount; ++i) {
        const auto& s = state.stageStates[size_t(i)];
        colourOp[i] = int(s[D3DTSS_COLOROP]);
        colourArg1[i] = int(s[D3DTSS_COLORARG1]);
        colourArg2[i] = int(s[D3DTSS_COLORARG2]);
        alphaOp[i] = int(s[D3DTSS_ALPHAOP]);
        alphaArg1[i] = int(s[D3DTSS_ALPHAARG1]);
        alphaArg2[i] = int(s[D3DTSS_ALPHAARG2]);
        // Sets the format lacks read the first one.
        const uint32_t set = s[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        texCoordIndex[i] =
            set < layout.texCoordCount && set < uint32_t(shaderTexCoordSets) ? int(set) : 0;
        readsTexture[i] = i < stages && stageReadsTexture(state, uint32_t(i));
    }
    setInts("uColorOp", colourOp, shaderStageCount);
    setInts("uColorArg1", colourArg1, shaderStageCount);
    setInts("uColorArg2", colourArg2, shaderStageCount);
    setInts("uAlphaOp", alphaOp, shaderStageCount);
    setInts("uAlphaArg1", alphaArg1, shaderStageCount);
    setInts("uAlphaArg2", alphaArg2, shaderStageCount);
    setInts("uTexCoordIndex", texCoordIndex, shaderStageCount);
    setInts("uStageReadsTexture", readsTexture, shaderStageCount);
    float factor[4];
    colourOf(rs(D3DRS_TEXTUREFACTOR), factor);
    setVec4("uTextureFactor", factor);

    // ---- shading, specular, alpha test
    setInt("uFlatShading", rs(D3DRS_SHADEMODE) == D3DSHADE_FLAT);
    setInt("uSpecularEnable", rs(D3DRS_SPECULARENABLE) != 0);
    setInt("uAlphaTest", rs(D3DRS_ALPHATESTENABLE) != 0);
    setInt("uAlphaFunc", int(rs(D3DRS_ALPHAFUNC)));
    setFloat("uAlphaRef", float(rs(D3DRS_ALPHAREF) & 0xFF));
}

} // namespace gfx::gl
