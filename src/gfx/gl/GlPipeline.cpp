// The program cache of the fixed-function pipeline.
#include "gfx/gl/GlPipeline.h"

#include "gfx/gl/GlShaderSource.h"

namespace gfx::gl {

ShaderSources defaultShaderSources() {
    return {vertexShaderSource, fragmentShaderSource};
}

GlProgram* GlPipeline::program(const ProgramKey& key, std::string& log) {
    if (lastKey && *lastKey == key) return lastProgram;
    auto found = programs.find(key);
    if (found == programs.end()) {
        std::unique_ptr<GlProgram> built =
            GlProgram::create(gl, key, sources.vertex(key), sources.fragment(key), log);
        found = programs.emplace(key, std::move(built)).first;
    }
    // Map nodes stay put, so the key stored in the map can be kept.
    lastKey = &found->first;
    lastProgram = found->second.get();
    return lastProgram;
}

size_t GlPipeline::programCount() const {
    size_t count = 0;
    for (const auto& [key, program] : programs)
        count += program != nullptr;
    return count;
}

void GlPipeline::setSources(ShaderSources replacement) {
    lastKey = nullptr;
    lastProgram = nullptr;
    programs.clear();
    sources = replacement;
}

} // namespace gfx::gl
