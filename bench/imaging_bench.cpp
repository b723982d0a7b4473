// Imaging benchmarks on a 12-megapixel baseline JPEG (VELMARO_BENCH_JPEG names it):
//  - Preview: what choosing the file costs the preview (header, scaled decode, fit);
//  - FullDecode: the same picture decoded at full size, for the ratio;
//  - ConvertToBmpFile: the converter's full decode written as a 24-bit bitmap file, the
//    JPEG file read whole first (ConvertToBmpFile) or as it decodes (StreamToBmpFile);
//  - WallpaperRequestAndTick: the wallpaper request and its tick for the same file, as
//    the converter does them (read into a buffer, then the staged 24-bit bitmap file);
//  - DjpegBmp: libjpeg-turbo's own `djpeg -bmp` on the same file, as a child process.
// All report CPU time (the machine's cores are shared, so wall time says little): the
// thread's own for ours, the child's user plus system time for djpeg.
#include "imaging/fit.h"
#include "imaging/jpeg.h"
#include "wallpaper/converter.h"

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace velmaro::imaging;

std::string picture_path() {
    const char* p = std::getenv("VELMARO_BENCH_JPEG");
    return p ? p : "bench-12mp.jpg";
}

std::string output_path() {
    return picture_path() + ".out.bmp";
}

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Preview(benchmark::State& state) {
    const std::vector<std::uint8_t> jpeg = read_file(picture_path());
    for (auto _ : state) {
        const double start = thread_seconds();
        const JpegHeader h = read_jpeg_header(jpeg);
        const FitRect r = fit_in_frame(h.width, h.height);
        const Pixels p = decode_jpeg(jpeg, r.width, r.height);
        benchmark::DoNotOptimize(p.bgra.data());
        state.SetIterationTime(thread_seconds() - start);
    }
}

void FullDecode(benchmark::State& state) {
    const std::vector<std::uint8_t> jpeg = read_file(picture_path());
    for (auto _ : state) {
        const double start = thread_seconds();
        const Pixels p = decode_jpeg(jpeg);
        benchmark::DoNotOptimize(p.bgra.data());
        state.SetIterationTime(thread_seconds() - start);
    }
}

void ConvertToBmpFile(benchmark::State& state) {
    for (auto _ : state) {
        const double start = thread_seconds();
        const std::vector<std::uint8_t> jpeg = read_file(picture_path());
        const std::vector<std::uint8_t> bmp = jpeg_to_bmp24(jpeg);
        std::ofstream out(output_path(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        out.close();
        state.SetIterationTime(thread_seconds() - start);
    }
}

void StreamToBmpFile(benchmark::State& state) {
    for (auto _ : state) {
        const double start = thread_seconds();
        const std::vector<std::uint8_t> bmp = jpeg_file_to_bmp24(picture_path());
        std::ofstream out(output_path(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        out.close();
        state.SetIterationTime(thread_seconds() - start);
    }
}

void WallpaperRequestAndTick(benchmark::State& state) {
    velmaro::wallpaper::ImageConverter converter;
    for (auto _ : state) {
        const double start = thread_seconds();
        const int id = converter.load(picture_path());
        const auto bytes = converter.bmp_bytes(id);
        std::ofstream(output_path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        state.SetIterationTime(thread_seconds() - start);
    }
}

void DjpegBmp(benchmark::State& state) {
    const std::string in = picture_path(), out = output_path();
    for (auto _ : state) {
        char* argv[] = {const_cast<char*>("djpeg"),    const_cast<char*>("-bmp"),
                        const_cast<char*>("-outfile"), const_cast<char*>(out.c_str()),
                        const_cast<char*>(in.c_str()), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start djpeg");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed");
            return;
        }
        state.SetIterationTime(static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6);
    }
}

BENCHMARK(Preview)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FullDecode)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ConvertToBmpFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(StreamToBmpFile)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(WallpaperRequestAndTick)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(DjpegBmp)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
