// What the soak relies on in orbivista-render: the options that ask for
// memory figures and the recording device, and figures that see a heap
// block come and go.
#include "MemoryReport.h"
#include "RunOptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

using headless::parseRunOptions;

TEST(SoakRunnerOptions, MemoryEveryAndDevice) {
    const headless::ParseResult plain = parseRunOptions({});
    ASSERT_TRUE(plain.options);
    EXPECT_EQ(plain.options->memoryEvery, 0);
    EXPECT_FALSE(plain.options->recordingDevice);

    const headless::ParseResult chosen =
        parseRunOptions({"--memory-every", "250", "--device", "recording", "--frames", "1000"});
    ASSERT_TRUE(chosen.options) << chosen.error;
    EXPECT_EQ(chosen.options->memoryEvery, 250);
    EXPECT_TRUE(chosen.options->recordingDevice);
    const headless::ParseResult gl = parseRunOptions({"--device", "gl"});
    ASSERT_TRUE(gl.options) << gl.error;
    EXPECT_FALSE(gl.options->recordingDevice);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--memory-every", "0"},
                                                {"--memory-every", "-5"},
                                                {"--memory-every", "+5"},
                                                {"--memory-every", "x"},
                                                {"--memory-every"},
                                                {"--device", "vulkan"},
                                                {"--device"}}) {
        const headless::ParseResult result = parseRunOptions(bad);
        EXPECT_FALSE(result.options) << bad[0];
        EXPECT_NE(result.error.find(bad[0]), std::string::npos) << result.error;
    }
    // A real window shows what GL draws; the recording device draws nothing.
    EXPECT_FALSE(parseRunOptions({"--device", "recording", "--window"}).options);
}

TEST(SoakRunnerMemory, LineIsWhatTheSoakReads) {
    headless::MemorySample sample;
    sample.frame = 6000;
    sample.resident = 212 * 1024 * 1024;
    sample.heapInUse = 41 * 1024 * 1024 + 512 * 1024;
    sample.heapHeld = 60 * 1024 * 1024;
    const std::string line = headless::memoryLine(sample);
    // soak.py's pattern.
    const std::regex soak(R"(^memory frame (\d+): resident ([0-9.]+) MB, heap in use ([0-9.]+) )"
                          R"(MB, heap held ([0-9.]+) MB)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(line, m, soak)) << line;
    EXPECT_EQ(m[1], "6000");
    EXPECT_EQ(m[2], "212.0");
    EXPECT_EQ(m[3], "41.5");
    EXPECT_EQ(m[4], "60.0");
    EXPECT_EQ(line.back(), '\n');
}

TEST(SoakRunnerMemory, FiguresFollowTheHeap) {
    const headless::MemorySample before = headless::sampleMemory(1);
    EXPECT_EQ(before.frame, 1);
    EXPECT_GT(before.resident, 0);
    if (before.heapHeld == 0) GTEST_SKIP() << "the allocator gives no figures (a sanitizer's)";
    EXPECT_LE(before.heapInUse, before.heapHeld);

    constexpr size_t blockSize = 32u << 20;
    auto block = std::make_unique<char[]>(blockSize);
    std::memset(block.get(), 1, blockSize); // resident, not only reserved
    const headless::MemorySample with = headless::sampleMemory(2);
    EXPECT_GE(with.heapInUse - before.heapInUse, int64_t(blockSize));
    EXPECT_GE(with.resident - before.resident, int64_t(blockSize) / 2);
    block.reset();
    const headless::MemorySample after = headless::sampleMemory(3);
    EXPECT_LT(after.heapInUse - before.heapInUse, int64_t(blockSize) / 4);
}

} // namespace
