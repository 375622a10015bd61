// Time to read the full catalogue (data/sao.pc, 118,216 stars) into sky
// point records and the zone index, as at start-up and on every catalogue
// switch. Target: at most 10 ms.
#include "model/StarCatalogue.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

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

} // namespace

BENCHMARK(readFullCatalogue)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
