// Every shader program the GL backend can write, checked with the reference
// GLSL compiler (glslangValidator, Debian's glslang-tools): a vendor's
// compiler stricter than llvmpipe's must not refuse one.
//
// The programs come from device states run through programKeyOf, so only
// keys a draw can produce are checked.  The states sweep each dimension the
// key records (vertex formats, lighting with every light mix and material
// source, point primitives and their states, clip depth range, shading,
// specular, every alpha comparison, every colour and alpha operation with
// every argument and modifier, stage counts and coordinate sets) around a
// few base states, which reaches every code path of the writer without the
// full product of the dimensions (about 4,000 keys: 136 vertex and 1,246
// fragment shaders).
#include "gfx/gl/GlProgramKey.h"
#include "gfx/gl/GlShaderSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

using namespace gfx;
using namespace gfx::gl;

namespace {

namespace fs = std::filesystem;

Texture* const someTexture = reinterpret_cast<Texture*>(uintptr_t(0x1000)); // compared to null

struct Draw {
    DeviceState state = DeviceState::defaults(64, 64, false);
    DrawSetup setup;
};

using Variation = std::function<void(Draw&)>;

void useFormat(Draw& d, uint32_t fvf) {
    d.setup.layout = vertexLayoutOf(fvf);
}

void stage(Draw& d, uint32_t index, uint32_t colourOp, uint32_t arg1, uint32_t arg2,
           uint32_t alphaOp, uint32_t alphaArg1, uint32_t alphaArg2, uint32_t coordSet = 0) {
    auto& s = d.state.stageStates[index];
    s[D3DTSS_COLOROP] = colourOp;
    s[D3DTSS_COLORARG1] = arg1;
    s[D3DTSS_COLORARG2] = arg2;
    s[D3DTSS_ALPHAOP] = alphaOp;
    s[D3DTSS_ALPHAARG1] = alphaArg1;
    s[D3DTSS_ALPHAARG2] = alphaArg2;
    s[D3DTSS_TEXCOORDINDEX] = coordSet;
    d.state.textures[index] = someTexture;
}

void light(Draw& d, uint32_t slot, D3DLIGHTTYPE type) {
    LightSlot& l = d.state.lights[slot];
    l.light.Type = type;
    l.enabled = 1;
}

// The starting points of the sweeps: the program's own kinds of draw.
std::vector<Variation> bases() {
    return {
        [](Draw& d) { // a lit, textured sphere
            useFormat(d, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
            d.state.renderStates[D3DRS_LIGHTING] = 1;
            light(d, 0, D3DLIGHT_DIRECTIONAL);
            stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1,
                  D3DTA_TEXTURE, D3DTA_DIFFUSE);
        },
        [](Draw& d) { // a screen quad of the overlay
            useFormat(d, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
            d.state.renderStates[D3DRS_LIGHTING] = 0;
            stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE,
                  D3DTA_TEXTURE, D3DTA_DIFFUSE);
        },
        [](Draw& d) { // sky points
            useFormat(d, D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE);
            d.state.renderStates[D3DRS_LIGHTING] = 0;
            d.setup.pointList = true;
        },
        [](Draw& d) { // an orbit line, untextured and unlit
            useFormat(d, D3DFVF_XYZ | D3DFVF_DIFFUSE);
            d.state.renderStates[D3DRS_LIGHTING] = 0;
        },
    };
}

void unlit(Draw& d) {
    d.state.renderStates[D3DRS_LIGHTING] = 0;
}

void lit(Draw& d) {
    d.state.renderStates[D3DRS_LIGHTING] = 1;
    if (d.state.lights.empty()) light(d, 0, D3DLIGHT_POINT);
}

// One dimension of the key at a time, every value it takes.
std::vector<Variation> variations() {
    std::vector<Variation> out{[](Draw&) {}};
    const uint32_t formats[] = {
        D3DFVF_XYZ,
        D3DFVF_XYZ | D3DFVF_NORMAL,
        D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR,
        D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2,
        D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_TEX1,
        D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
        D3DFVF_XYZRHW | D3DFVF_TEX1,
        D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1,
    };
    for (const uint32_t fvf : formats) out.push_back([fvf](Draw& d) { useFormat(d, fvf); });
    // Lights: none, each kind, mixes, all eight.
    for (uint32_t mix = 0; mix < 8; ++mix)
        out.push_back([mix](Draw& d) {
            d.state.renderStates[D3DRS_LIGHTING] = 1;
            d.state.lights.clear();
            const uint32_t count = mix == 7 ? 8 : mix / 2 + (mix % 2);
            for (uint32_t i = 0; i < count; ++i)
                light(d, i, (i + mix) % 2 ? D3DLIGHT_POINT : D3DLIGHT_DIRECTIONAL);
        });
    for (const uint32_t source : {D3DMCS_MATERIAL, D3DMCS_COLOR1, D3DMCS_COLOR2})
        for (const uint32_t which : {D3DRS_DIFFUSEMATERIALSOURCE, D3DRS_AMBIENTMATERIALSOURCE,
                                     D3DRS_EMISSIVEMATERIALSOURCE})
            out.push_back([source, which](Draw& d) {
                d.state.renderStates[D3DRS_LIGHTING] = 1;
                d.state.renderStates[D3DRS_COLORVERTEX] = 1;
                useFormat(d, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                                 D3DFVF_TEX1);
                d.state.renderStates[which] = source;
            });
    out.push_back([](Draw& d) { d.state.renderStates[D3DRS_NORMALIZENORMALS] = 1; });
    // Points: list or fill mode, scale, sprite, size from the vertex or not.
    for (uint32_t bits = 0; bits < 8; ++bits)
        out.push_back([bits](Draw& d) {
            d.setup.pointList = (bits & 1) != 0;
            if (!(bits & 1)) d.state.renderStates[D3DRS_FILLMODE] = D3DFILL_POINT;
            d.state.renderStates[D3DRS_POINTSCALEENABLE] = (bits >> 1) & 1;
            d.state.renderStates[D3DRS_POINTSPRITEENABLE] = (bits >> 2) & 1;
            d.state.textures[0] = someTexture;
            d.setup.maxPointSize = 64;
        });
    out.push_back([](Draw& d) { d.setup.zeroToOne = true; });
    out.push_back([](Draw& d) { d.state.renderStates[D3DRS_SHADEMODE] = D3DSHADE_FLAT; });
    out.push_back([](Draw& d) { d.state.renderStates[D3DRS_SPECULARENABLE] = 1; });
    for (uint32_t func = D3DCMP_NEVER; func <= D3DCMP_ALWAYS; ++func)
        out.push_back([func](Draw& d) {
            d.state.renderStates[D3DRS_ALPHATESTENABLE] = 1;
            d.state.renderStates[D3DRS_ALPHAFUNC] = func;
        });
    // Every operation with every argument and modifier, in colour and alpha,
    // in the first and in a later stage.
    const uint32_t arguments[] = {D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_TFACTOR,
                                  D3DTA_SPECULAR};
    const uint32_t modifiers[] = {0, D3DTA_COMPLEMENT, D3DTA_ALPHAREPLICATE,
                                  D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE};
    for (uint32_t op = D3DTOP_DISABLE; op <= D3DTOP_BLENDCURRENTALPHA; ++op)
        for (const uint32_t arg : arguments)
            for (const uint32_t modifier : modifiers)
                for (const uint32_t at : {0u, 1u})
                    out.push_back([=](Draw& d) {
                        if (at == 1)
                            stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE,
                                  D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
                        stage(d, at, op, arg | modifier, D3DTA_CURRENT, op,
                              D3DTA_CURRENT, arg | modifier, at);
                    });
    // BLENDFACTORALPHA between its ends, and stage counts with coordinate sets.
    out.push_back([](Draw& d) {
        d.state.renderStates[D3DRS_TEXTUREFACTOR] = 0x80FFFFFF;
        stage(d, 0, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE,
              D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    });
    for (uint32_t count = 1; count <= 4; ++count)
        out.push_back([count](Draw& d) {
            useFormat(d, D3DFVF_XYZ | D3DFVF_NORMAL | (4u << D3DFVF_TEXCOUNT_SHIFT));
            for (uint32_t i = 0; i < count; ++i)
                stage(d, i, i ? D3DTOP_ADD : D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT,
                      D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, count - 1 - i);
        });
    return out;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// glslangValidator's verdict on a list of files; empty when all are valid.
std::string validate(const std::vector<fs::path>& files, const std::string& options = "") {
    std::string failures;
    constexpr size_t batch = 200; // keeps the command line short
    for (size_t first = 0; first < files.size(); first += batch) {
        std::string command = "glslangValidator " + options;
        for (size_t i = first; i < std::min(files.size(), first + batch); ++i)
            command += " " + quoted(files[i]);
        command += " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return "cannot run glslangValidator";
        std::string output;
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
        if (pclose(pipe) != 0) failures += output;
    }
    return failures;
}

TEST(GlShaderValidation, EveryProgramTheBackendWritesPassesTheReferenceCompiler) {
    ASSERT_EQ(std::system("glslangValidator --version > /dev/null 2>&1"), 0)
        << "glslangValidator is missing: install glslang-tools (scripts/setup)";

    std::set<std::string> keys;
    std::map<std::string, size_t> vertexSources, fragmentSources;
    std::vector<std::pair<size_t, size_t>> programs; // a vertex source's first program
    const Variation unchanged = [](Draw&) {};
    // Each base draw, each variation, and that again unlit and lit.
    for (const Variation& base : bases())
        for (const Variation& variation : variations())
            for (const Variation& lighting : {unchanged, Variation(unlit), Variation(lit)}) {
                Draw d;
                base(d);
                variation(d);
                lighting(d);
                const ProgramKey key = programKeyOf(d.state, d.setup);
                if (!keys.insert(std::string(reinterpret_cast<const char*>(&key), sizeof key))
                         .second)
                    continue;
                const auto [v, newVertex] =
                    vertexSources.try_emplace(vertexShaderSource(key), vertexSources.size());
                const auto f =
                    fragmentSources.try_emplace(fragmentShaderSource(key), fragmentSources.size())
                        .first;
                if (newVertex) programs.emplace_back(v->second, f->second);
            }
    // The sweep must reach a real variety of programs.
    EXPECT_GT(keys.size(), 300u);
    EXPECT_GT(fragmentSources.size(), 150u);
    EXPECT_GT(vertexSources.size(), 30u);

    const fs::path folder = fs::temp_directory_path() /
                            ("orbivista-glsl-" + std::to_string(::testing::UnitTest::GetInstance()
                                                                    ->random_seed()) +
                             "-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::vector<fs::path> vertexFiles(vertexSources.size()), fragmentFiles(fragmentSources.size());
    for (const auto& [text, index] : vertexSources) {
        vertexFiles[index] = folder / ("program" + std::to_string(index) + ".vert");
        std::ofstream(vertexFiles[index]) << text;
    }
    for (const auto& [text, index] : fragmentSources) {
        fragmentFiles[index] = folder / ("program" + std::to_string(index) + ".frag");
        std::ofstream(fragmentFiles[index]) << text;
    }
    std::vector<fs::path> all = vertexFiles;
    all.insert(all.end(), fragmentFiles.begin(), fragmentFiles.end());
    EXPECT_EQ(validate(all), "") << "in " << folder;
    // Vertex shaders linked with a fragment shader they are drawn with: the
    // stages' interfaces must match.  A sample (the first programs of each
    // base draw come first), as each link is a run of its own.
    std::string linkFailures;
    for (size_t i = 0; i < std::min<size_t>(programs.size(), 24); ++i)
        linkFailures += validate({vertexFiles[programs[i].first],
                                  fragmentFiles[programs[i].second]}, "-l");
    EXPECT_EQ(linkFailures, "") << "in " << folder;
    if (!HasFailure()) fs::remove_all(folder);
}

} // namespace
