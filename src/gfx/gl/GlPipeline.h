// The fixed-function pipeline as a cache of GL programs, one per program
// key: a key's program is generated, compiled and linked on first use and
// kept until the pipeline goes (with its device).  A key whose program fails
// to build is remembered as failed, so a draw that needs it fails at once
// instead of recompiling every frame.
#pragma once

#include "gfx/gl/GlProgram.h"
#include "gfx/gl/GlProgramKey.h"

#include <memory>
#include <string>
#include <unordered_map>

namespace gfx::gl {

// The source generators a pipeline compiles (replaceable for tests).
struct ShaderSources {
    std::string (*vertex)(const ProgramKey&) = nullptr;
    std::string (*fragment)(const ProgramKey&) = nullptr;
};

// The generators of GlShaderSource.
ShaderSources defaultShaderSources();

class GlPipeline {
public:
    explicit GlPipeline(GlFunctions& gl, ShaderSources sources = defaultShaderSources())
        : gl(gl), sources(sources) {}
    GlPipeline(const GlPipeline&) = delete;
    GlPipeline& operator=(const GlPipeline&) = delete;

    // The program of `key`; null when it does not build, with the driver's
    // log appended to `log` the first time (later calls fail silently).
    GlProgram* program(const ProgramKey& key, std::string& log);
    // Programs built so far (failed keys not counted).
    size_t programCount() const;
    // Drops every program and uses `replacement` from now on.
    void setSources(ShaderSources replacement);

private:
    GlFunctions& gl;
    ShaderSources sources;
    std::unordered_map<ProgramKey, std::unique_ptr<GlProgram>, ProgramKeyHash> programs;
    // The last key asked for: consecutive draws mostly share one.
    const ProgramKey* lastKey = nullptr;
    GlProgram* lastProgram = nullptr;
};

} // namespace gfx::gl
