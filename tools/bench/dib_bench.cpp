// dib_bench.cpp — ReadDibFile against stb_image's stbi_load and against a
// plain memcpy of the same 3 x 2048 x 2048 pixel bytes into freshly
// allocated memory, on a 24-bit and an 8-bit palette file written to a
// temporary folder at start. Reports medians of 5 repetitions by default and
// closes with the ratios the reader is held to (at most 0.6 x stb_image and
// 1.3 x the copy).
//
// Every large block is fresh memory: glibc would otherwise raise its mmap
// threshold after the first free and hand the same, already faulted pages
// back each iteration. --reuse_pages keeps glibc's default, for comparison.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include <stb/stb_image.h>

#include "image/dib_reader.h"
#include "platform/headless/headless.h"
#include "tools/common/dib_builder.h"

namespace {

constexpr int kSide = 2048;                                  // pixels
constexpr size_t kPixelBytes = 3ull * kSide * kSide;         // the decoded block

// A BMP with the file header and the 40-byte header; 8 bits carry a full
// table. The pixel bytes are noise, so no run of them compresses the work.
std::vector<uint8_t> BuildBenchFile(int bitCount)
{
    DibRecipe recipe;
    recipe.width = kSide;
    recipe.height = kSide;
    recipe.bitCount = static_cast<uint16_t>(bitCount);
    if (bitCount == 8) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t colour = i * 0x010305u;  // blue, green, red from the low byte up
            recipe.palette.push_back({static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                                      static_cast<uint8_t>(colour)});
        }
    }
    const uint32_t rowBytes = static_cast<uint32_t>(kSide * bitCount / 8 + 3) / 4 * 4;
    uint32_t state = 12345;
    for (uint32_t i = 0; i < rowBytes * kSide; ++i) {
        state = state * 1664525u + 1013904223u;
        recipe.pixelData.push_back(static_cast<uint8_t>(state >> 24));
    }
    return BuildDib(recipe);
}

std::string WriteBenchFile(const std::filesystem::path& folder, int bitCount)
{
    std::string path = (folder / ("bench" + std::to_string(bitCount) + ".bmp")).string();
    std::vector<uint8_t> bytes = BuildBenchFile(bitCount);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}

void ReadDibFileCase(benchmark::State& state, std::string path)
{
    for (auto _ : state) {
        RgbImage* image = ReadDibFile(path.c_str());
        if (image == nullptr) {
            state.SkipWithError("ReadDibFile refused the file");
            break;
        }
        benchmark::DoNotOptimize(image->pixels);
        FreeRgbImage(image);
    }
    HeadlessReset();
}

void StbLoadCase(benchmark::State& state, std::string path)
{
    for (auto _ : state) {
        int width, height, channels;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
        if (pixels == nullptr) {
            state.SkipWithError(stbi_failure_reason());
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

void MemcpyFreshCase(benchmark::State& state)
{
    std::vector<unsigned char> source(kPixelBytes, 0x5A);
    for (auto _ : state) {
        auto* block = static_cast<unsigned char*>(std::malloc(kPixelBytes));
        std::memcpy(block, source.data(), kPixelBytes);
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        std::free(block);
    }
}

// The console report, plus each benchmark's median real time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            const Times times{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[name] = times;
            else if (run.run_type == Run::RT_Iteration && medians_.count(name) == 0)
                medians_[name] = times;
        }
    }

    // Wall-clock ratios, and CPU-time ratios, which a busy machine disturbs less.
    void PrintRatios() const
    {
        auto times = [this](const std::string& name) {
            auto found = medians_.find(name);
            return found == medians_.end() ? Times{0, 0} : found->second;
        };
        const Times copy = times("memcpy_fresh/12MiB");
        std::printf("\n");
        for (const char* depth : {"24bit", "8bit"}) {
            const Times reader = times(std::string("ReadDibFile/") + depth);
            const Times stb = times(std::string("stbi_load/") + depth);
            if (reader.real <= 0 || stb.real <= 0 || copy.real <= 0)
                continue;
            std::printf("ReadDibFile %-5s  wall %.2f x stbi_load, %.2f x memcpy_fresh   cpu %.2f x stbi_load, %.2f x "
                        "memcpy_fresh   (targets <= 0.60, <= 1.30)\n",
                        depth, reader.real / stb.real, reader.real / copy.real, reader.cpu / stb.cpu,
                        reader.cpu / copy.cpu);
        }
    }

private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> medians_;
};

}  // namespace

int main(int argc, char** argv)
{
    // Medians of five repetitions unless the command line says otherwise.
    bool reusePages = false;
    std::vector<char*> args = {argv[0]};
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.push_back(repetitions.data());
    args.push_back(aggregates.data());
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reuse_pages") == 0)
            reusePages = true;
        else
            args.push_back(argv[i]);
    }
    if (!reusePages)
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);  // a fixed threshold: large blocks always mmap'd afresh
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("marivelt-dib-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string file24 = WriteBenchFile(folder, 24);
    const std::string file8 = WriteBenchFile(folder, 8);
    HeadlessReset();

    benchmark::RegisterBenchmark("ReadDibFile/24bit", ReadDibFileCase, file24)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("stbi_load/24bit", StbLoadCase, file24)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ReadDibFile/8bit", ReadDibFileCase, file8)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("stbi_load/8bit", StbLoadCase, file8)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("memcpy_fresh/12MiB", MemcpyFreshCase)->Unit(benchmark::kMillisecond);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();

    std::filesystem::remove_all(folder);
    return 0;
}
