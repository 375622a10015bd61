// The fixed-function pipeline as one GL program: compiles the shaders,
// and turns the D3D state of a draw into its uniforms.  Uniform values are
// cached, so a value already in the program costs no GL call.
#pragma once

#include "gfx/DeviceState.h"
#include "gfx/VertexFormat.h"
#include "gfx/gl/GlStateCache.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gfx::gl {

// What a draw adds to the device state.
struct DrawSetup {
    VertexLayout layout;
    bool zeroToOne = false;    // glClipControl in effect
    float maxPointSize = 1.0f; // the device's limit
    bool pointList = false;    // point sprites texture points only, as in Direct3D
};

class GlPipeline {
public:
    // Null with the compiler's or linker's log in `log` on failure.
    static std::unique_ptr<GlPipeline> create(GlFunctions& gl, std::string& log);
    ~GlPipeline();

    GLuint program() const { return programName; }
    // Sets every uniform for a draw with `state` (the program must be in use).
    void upload(const DeviceState& state, const DrawSetup& setup);

private:
    GlPipeline(GlFunctions& gl, GLuint program);
    GLint location(const char* name);
    // glUniform* only when the bytes differ from those last sent.
    bool changed(GLint location, const void* data, size_t bytes);
    void setInt(const char* name, int value);
    void setInts(const char* name, const int* values, int count);
    void setFloat(const char* name, float value);
    void setVec2(const char* name, float x, float y);
    void setVec3(const char* name, float x, float y, float z);
    void setVec3s(const char* name, const float* values, int count);
    void setVec4(const char* name, const float* value);
    void setVec4s(const char* name, const float* values, int count);
    void setMatrix(const char* name, const D3DMATRIX& matrix);

    GlFunctions& gl;
    GLuint programName;
    std::map<std::string, GLint, std::less<>> locations;
    std::map<GLint, std::vector<uint8_t>> sent;
};

} // namespace gfx::gl
