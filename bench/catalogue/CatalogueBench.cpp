// Time to read the full catalogue (data/sao.pc, 118,216 stars) into sky
// point records and the zone index, as at start-up and on every catalogue
// switch (target: at most 10 ms); to index it for the sky search, which
// follows every read; and one frame's search at the default view.
#include "model/StarCatalogue.h"
#include "model/StarSearchIndex.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

void readFullCatalogue(benchmark::State& state) {
    int32_t declared = 0;
    for (auto _ : state) {
        model::StarRecord* stars = model::readStarCatalogue(ORBIVISTA_CATALOGUE_PATH, &declared);
        if (!stars) {
            state.SkipWithError("cannot read " ORBIVISTA_CATALOGUE_PATH);
            return;
        }
        benchmark::DoNotOptimize(stars);
        std::free(stars);
    }
    state.counters["stars"] = model::starsLoaded;
    state.SetItemsProcessed(state.iterations() * model::starsLoaded);
}

// The catalogue read once, for the index benchmarks.
struct LoadedCatalogue {
    model::StarRecord* stars = model::readStarCatalogue(ORBIVISTA_CATALOGUE_PATH, nullptr);
    ~LoadedCatalogue() { std::free(stars); }
};

void indexCatalogue(benchmark::State& state) {
    LoadedCatalogue catalogue;
    if (!catalogue.stars) {
        state.SkipWithError("cannot read " ORBIVISTA_CATALOGUE_PATH);
        return;
    }
    for (auto _ : state) {
        model::StarSearchIndex index;
        index.build(catalogue.stars, model::starsLoaded, model::starZoneStart);
        benchmark::DoNotOptimize(index);
    }
}

// The start view at 800 x 600: a 20 degree field looking along the
// horizontal sight the camera starts with, zones 7 to 12.
void searchDefaultView(benchmark::State& state) {
    LoadedCatalogue catalogue;
    if (!catalogue.stars) {
        state.SkipWithError("cannot read " ORBIVISTA_CATALOGUE_PATH);
        return;
    }
    model::StarSearchIndex index;
    index.build(catalogue.stars, model::starsLoaded, model::starZoneStart);
    model::StarSearch search;
    search.first = model::starZoneStart[7];
    search.end = model::starZoneStart[13];
    search.sizeLimit = 0.028509313f;
    search.cosLimit = 0.9396926f;
    search.sightX = -0.70710677f;
    search.sightZ = -0.70710677f;
    std::vector<model::StarRecord> out(30000);
    int32_t count = 0;
    for (auto _ : state) {
        count = index.select(search, out.data(), 9, 30000);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["points"] = count;
}

} // namespace

BENCHMARK(readFullCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(indexCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(searchDefaultView)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
