// Program linking and the translation of D3D state into uniforms.
#include "gfx/gl/GlProgram.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx::gl {

namespace {

constexpr const char* uniformNames[size_t(Uniform::count)] = {
    "uWorldView",       "uProjection",      "uViewport",         "uAmbient",
    "uMaterialDiffuse", "uMaterialAmbient", "uMaterialEmissive", "uLightVector",
    "uLightDiffuse",    "uLightAmbient",    "uLightAttenuation", "uPointSize",
    "uPointScaleAbc",   "uPointSizeRange",  "uTextureFactor",    "uAlphaRef",
};

// The compiler's or linker's log of a shader or program.
template <typename Get, typename GetLog>
std::string infoLog(GlFunctions& gl, GLuint object, Get get, GetLog getLog) {
    GLint length = 0;
    (gl.*get)(object, GL_INFO_LOG_LENGTH, &length);
    std::string message(size_t(std::max(length, 1)), '\0');
    (gl.*getLog)(object, length, nullptr, message.data());
    return message;
}

GLuint compile(GlFunctions& gl, GLenum type, const std::string& source, std::string& log) {
    const GLuint shader = gl.glCreateShader(type);
    const char* text = source.c_str();
    gl.glShaderSource(shader, 1, &text, nullptr);
    gl.glCompileShader(shader);
    GLint ok = 0;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        log += (type == GL_VERTEX_SHADER ? "vertex shader: " : "fragment shader: ") +
               infoLog(gl, shader, &GlFunctions::glGetShaderiv, &GlFunctions::glGetShaderInfoLog);
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

std::unique_ptr<GlProgram> GlProgram::create(GlFunctions& gl, const ProgramKey& key,
                                             const std::string& vertexSource,
                                             const std::string& fragmentSource, std::string& log) {
    const GLuint vertex = compile(gl, GL_VERTEX_SHADER, vertexSource, log);
    const GLuint fragment = compile(gl, GL_FRAGMENT_SHADER, fragmentSource, log);
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
        log += "link: " + infoLog(gl, program, &GlFunctions::glGetProgramiv,
                                  &GlFunctions::glGetProgramInfoLog);
        gl.glDeleteProgram(program);
        return nullptr;
    }
    return std::unique_ptr<GlProgram>(new GlProgram(gl, program, key));
}

GlProgram::GlProgram(GlFunctions& gl, GLuint program, const ProgramKey& key)
    : gl(gl), programName(program), programKey(key) {
    for (size_t i = 0; i < size_t(Uniform::count); ++i)
        locations[i] = gl.glGetUniformLocation(program, uniformNames[i]);
    // Stage i samples texture unit i, once and for all; the caller's
    // program binding is put back, as the state cache believes it.
    GLint previous = 0;
    gl.glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    gl.glUseProgram(program);
    for (int stage = 0; stage < shaderStageCount; ++stage) {
        const std::string sampler = "uTexture" + std::to_string(stage);
        const GLint at = gl.glGetUniformLocation(program, sampler.c_str());
        if (at >= 0) gl.glUniform1i(at, stage);
    }
    gl.glUseProgram(GLuint(previous));
}

GlProgram::~GlProgram() {
    gl.glDeleteProgram(programName);
}

bool GlProgram::changed(Uniform uniform, const void* data, size_t bytes) {
    Sent& last = sent[size_t(uniform)];
    if (last.bytes == bytes && std::memcmp(last.data, data, bytes) == 0) return false;
    last.bytes = uint32_t(bytes);
    std::memcpy(last.data, data, bytes);
    return true;
}

void GlProgram::setFloat(Uniform uniform, float value) {
    const GLint at = location(uniform);
    if (at >= 0 && changed(uniform, &value, sizeof value)) GL_CHECK(gl, glUniform1f(at, value));
}

void GlProgram::setVec2(Uniform uniform, float x, float y) {
    const float v[2] = {x, y};
    const GLint at = location(uniform);
    if (at >= 0 && changed(uniform, v, sizeof v)) GL_CHECK(gl, glUniform2fv(at, 1, v));
}

void GlProgram::setVec3s(Uniform uniform, const float* values, int count) {
    const GLint at = location(uniform);
    if (at >= 0 && changed(uniform, values, sizeof(float) * 3 * size_t(count)))
        GL_CHECK(gl, glUniform3fv(at, count, values));
}

void GlProgram::setVec4s(Uniform uniform, const float* values, int count) {
    const GLint at = location(uniform);
    if (at >= 0 && changed(uniform, values, sizeof(float) * 4 * size_t(count)))
        GL_CHECK(gl, glUniform4fv(at, count, values));
}

void GlProgram::setMatrix(Uniform uniform, const D3DMATRIX& matrix) {
    const GLint at = location(uniform);
    // D3D's row-major array read as column-major is its transpose: the
    // shader's M * v is D3D's v x M.
    if (at >= 0 && changed(uniform, &matrix.m[0][0], sizeof matrix.m))
        GL_CHECK(gl, glUniformMatrix4fv(at, 1, GL_FALSE, &matrix.m[0][0]));
}

void GlProgram::upload(const DeviceState& state, const DrawSetup& setup) {
    const auto rs = [&](D3DRENDERSTATETYPE type) { return state.renderStates[type]; };
    const ProgramKey& key = programKey;

    // ---- transform and viewport
    const D3DVIEWPORT8& vp = state.viewport;
    const float viewport[4] = {float(vp.X), float(vp.Y), float(vp.Width), float(vp.Height)};
    setVec4s(Uniform::viewport, viewport, 1);
    const D3DMATRIX& view = state.transform(D3DTS_VIEW);
    if (!key.pretransformed) {
        setMatrix(Uniform::worldView, multiply(state.transform(D3DTS_WORLD), view));
        setMatrix(Uniform::projection, state.transform(D3DTS_PROJECTION));
    }

    // ---- lighting: the lights the key counted, in the same order
    if (key.lighting) {
        float ambient[4];
        colourOf(rs(D3DRS_AMBIENT), ambient);
        setVec4s(Uniform::ambient, ambient, 1);
        setVec4s(Uniform::materialDiffuse, &state.material.Diffuse.r, 1);
        setVec4s(Uniform::materialAmbient, &state.material.Ambient.r, 1);
        setVec4s(Uniform::materialEmissive, &state.material.Emissive.r, 1);
        int count = 0;
        float vectors[shaderLightCount][3] = {};
        float diffuse[shaderLightCount][4] = {}, lightAmbient[shaderLightCount][4] = {};
        float attenuation[shaderLightCount][4] = {};
        for (const auto& [index, slot] : state.lights) {
            if (!slot.enabled) continue;
            if (count == key.lightCount) break;
            const D3DLIGHT8& light = slot.light;
            D3DVECTOR v;
            if (light.Type == D3DLIGHT_DIRECTIONAL) {
                // Toward the light: L = -Direction, in view space, unit length.
                v = transformDirection(light.Direction, view);
                const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
                const float scale = length > 0 ? -1.0f / length : 0.0f;
                v = {v.x * scale, v.y * scale, v.z * scale};
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
        if (count > 0) {
            setVec3s(Uniform::lightVector, &vectors[0][0], count);
            setVec4s(Uniform::lightDiffuse, &diffuse[0][0], count);
            setVec4s(Uniform::lightAmbient, &lightAmbient[0][0], count);
            setVec4s(Uniform::lightAttenuation, &attenuation[0][0], count);
        }
    }

    // ---- points
    if (key.points) {
        setFloat(Uniform::pointSize, state.renderStateFloat(D3DRS_POINTSIZE));
        if (key.pointScale) {
            const float abc[3] = {state.renderStateFloat(D3DRS_POINTSCALE_A),
                                  state.renderStateFloat(D3DRS_POINTSCALE_B),
                                  state.renderStateFloat(D3DRS_POINTSCALE_C)};
            setVec3s(Uniform::pointScaleAbc, abc, 1);
        }
        const float maxSize =
            std::min(state.renderStateFloat(D3DRS_POINTSIZE_MAX), setup.maxPointSize);
        const float minSize = std::min(state.renderStateFloat(D3DRS_POINTSIZE_MIN), maxSize);
        setVec2(Uniform::pointSizeRange, minSize, maxSize);
    }

    // ---- texture factor, alpha reference
    if (location(Uniform::textureFactor) >= 0) {
        float factor[4];
        colourOf(rs(D3DRS_TEXTUREFACTOR), factor);
        setVec4s(Uniform::textureFactor, factor, 1);
    }
    if (key.alphaTest) setFloat(Uniform::alphaRef, float(rs(D3DRS_ALPHAREF) & 0xFF));
}

} // namespace gfx::gl
