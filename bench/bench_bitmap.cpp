// What a preview costs (LoadBitmapFile and the bitmap the picture control keeps) for small and
// huge height maps and a huge texture, next to decoding the whole file. Warm cache: each file
// is read once before it is measured. Counters: kept_KiB is the kept picture, rss_KiB what the
// process's resident memory grew by while one such bitmap is held.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include "bitmap/load_bitmap.h"
#include "framework/core/control.h"

namespace {

struct Case {
    const char* name;
    int side;
    int depth;
    bool sparse; // pixels left as holes: a huge file that takes no room
};

constexpr Case kCases[] = {
    {"map_257_8bit", 257, 8, false},
    {"map_4097_8bit", 4097, 8, false},
    {"map_8193_8bit", 8193, 8, false},
    {"texture_16384_24bit", 16384, 24, true},
};

void Put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i)));
}

std::string WriteBitmap(const std::string& dir, const Case& c)
{
    const std::uint64_t stride =
        (static_cast<std::uint64_t>(c.side) * static_cast<std::uint64_t>(c.depth) + 31) / 32 * 4;
    const std::uint64_t pixels = stride * static_cast<std::uint64_t>(c.side);
    const std::uint32_t table = c.depth == 8 ? 1024 : 0;
    std::string head = "BM";
    Put32(head, static_cast<std::uint32_t>(54 + table + pixels));
    Put32(head, 0);
    Put32(head, 54 + table);
    Put32(head, 40);
    Put32(head, static_cast<std::uint32_t>(c.side));
    Put32(head, static_cast<std::uint32_t>(c.side));
    Put32(head, static_cast<std::uint32_t>(1 | c.depth << 16));
    for (int i = 0; i < 6; ++i)
        Put32(head, 0);
    for (std::uint32_t i = 0; i < table / 4; ++i)
        Put32(head, i * 0x010101);
    const std::string path = dir + "/" + c.name + ".bmp";
    std::ofstream file(path, std::ios::binary);
    file.write(head.data(), static_cast<std::streamsize>(head.size()));
    if (!c.sparse) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int y = 0; y < c.side; ++y) {
            for (std::size_t x = 0; x < row.size(); ++x)
                row[x] = static_cast<char>((x * 7 + static_cast<std::size_t>(y) * 3) & 0xFF);
            file.write(row.data(), static_cast<std::streamsize>(row.size()));
        }
    }
    file.close();
    std::filesystem::resize_file(path, head.size() + pixels);
    return path;
}

long ResidentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Files {
    std::string dir;
    std::vector<std::string> paths;
    Files()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sandrel-bench-XXXXXX").string();
        dir = ::mkdtemp(pattern.data()) != nullptr ? pattern : ".";
        for (const Case& c : kCases)
            paths.push_back(WriteBitmap(dir, c));
    }
    ~Files() { std::filesystem::remove_all(dir); }
};

Files& TheFiles()
{
    static Files files;
    return files;
}

void Measure(benchmark::State& state, std::size_t index, fw::Size shown)
{
    const std::string& path = TheFiles().paths[index];
    int code = 0;
    {
        // One load outside the loop warms the cache and measures what a held bitmap adds.
        CGdiObject* out = nullptr;
        ::malloc_trim(0); // freed memory the allocator keeps would hide what the load adds
        const long before = ResidentKiB();
        code = LoadBitmapFile(path.c_str(), &out, shown);
        const long after = ResidentKiB();
        if (out == nullptr) {
            state.SkipWithError("the file did not load");
            return;
        }
        const fw::Image* image = fw::GetBitmapImage(static_cast<HBITMAP>(out->m_hObject));
        state.counters["kept_KiB"] = static_cast<double>(image->pixels.size() * 4 / 1024);
        state.counters["rss_KiB"] = static_cast<double>(after - before);
        DeleteObject(out->m_hObject);
    }
    for (auto _ : state) {
        CGdiObject* out = nullptr;
        benchmark::DoNotOptimize(LoadBitmapFile(path.c_str(), &out, shown));
        DeleteObject(out->m_hObject);
    }
    state.counters["code"] = code;
}

// The pages' picture control, 205 x 158 dialog units, at the default dialog font.
fw::Size PictureControl() { return {fw::DialogUnitsToPixelsX(205), fw::DialogUnitsToPixelsY(158)}; }

void Preview(benchmark::State& state) { Measure(state, static_cast<std::size_t>(state.range(0)), PictureControl()); }
void LargestPreview(benchmark::State& state)
{
    Measure(state, static_cast<std::size_t>(state.range(0)), kLargestPreview);
}
void WholeFile(benchmark::State& state)
{
    Measure(state, static_cast<std::size_t>(state.range(0)), {INT_MAX, INT_MAX});
}

void Register()
{
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        benchmark::RegisterBenchmark((std::string("Preview/") + kCases[i].name).c_str(), Preview)
            ->Arg(static_cast<long>(i))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("Preview512/") + kCases[i].name).c_str(), LargestPreview)
            ->Arg(static_cast<long>(i))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("WholeFile/") + kCases[i].name).c_str(), WholeFile)
            ->Arg(static_cast<long>(i))
            ->Unit(benchmark::kMillisecond)
            ->Iterations(i < 2 ? 20 : 3);
    }
}

} // namespace

int main(int argc, char** argv)
{
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
