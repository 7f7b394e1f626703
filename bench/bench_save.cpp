// Building and saving a 10,000-page document whose pages each hold a 2 KiB
// content stream. Reports pages per second, the share of the time spent in
// zlib, the peak resident memory and the heap each page costs beyond its
// content bytes.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"

#include "bench_main.h"

namespace {

using namespace ZavorPdf::Pdf;

constexpr int kPages = 10000;
constexpr std::size_t kContentBytes = 2048;

// Text and line drawing as the graphics layer writes it, with numbers that
// vary from page to page so that compression has real work.
std::vector<std::uint8_t> PageContent(int page) {
    std::string text;
    int line = 0;
    while (text.size() < kContentBytes) {
        double y = 800 - 14.25 * line - page % 7;
        text += "q 1 0 0 1 " + std::to_string(72 + line % 5) + "." + std::to_string(page % 10) + " " +
                std::to_string(static_cast<int>(y)) + ".25 cm BT /F1 12 Tf (Zeile " + std::to_string(line) +
                " auf Seite " + std::to_string(page) + ") Tj ET Q\n";
        text += std::to_string(50 + line) + " " + std::to_string(page % 300) + " m " + std::to_string(300 + line) +
                " " + std::to_string(line * 3) + " l S\n";
        ++line;
    }
    text.resize(kContentBytes);
    return {text.begin(), text.end()};
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// Processor time of the process, so that waiting for the disk and the
// other programs on the machine do not blur the share of zlib.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BuildDocument(PdfDocument &document, const std::vector<std::vector<std::uint8_t>> &contents) {
    for (int i = 0; i < kPages; ++i)
        document.AddPage().Contents().AppendContent().SetBytes(contents[static_cast<std::size_t>(i)]);
}

void BM_BuildAndSave(benchmark::State &state) {
    std::vector<std::vector<std::uint8_t>> contents;
    for (int i = 0; i < kPages; ++i)
        contents.push_back(PageContent(i));
    std::filesystem::path path = std::filesystem::temp_directory_path() / "zavor_bench_save.pdf";

    double zlibSeconds = 0;
    double totalSeconds = 0;
    double buildSeconds = 0;
    double heapPerPage = 0;
    std::uintmax_t fileSize = 0;
    // Per run, so that one run slowed by another program on the machine
    // does not move the reported share: the median is reported.
    std::vector<double> shares;
    for (auto _ : state) {
        double start = CpuSeconds();
        std::size_t heapBefore = HeapInUse();
        PdfDocument document;
        BuildDocument(document, contents);
        std::size_t heapAfter = HeapInUse();
        buildSeconds += CpuSeconds() - start;
        document.Save(path);
        double runSeconds = CpuSeconds() - start;
        totalSeconds += runSeconds;

        state.PauseTiming();
        heapPerPage = (static_cast<double>(heapAfter - heapBefore) - static_cast<double>(kPages * kContentBytes)) /
                      kPages;
        double zlibStart = CpuSeconds();
        for (const auto &bytes : contents)
            benchmark::DoNotOptimize(Filters::Filtering::FlateDecode().Encode(bytes));
        double runZlibSeconds = CpuSeconds() - zlibStart;
        zlibSeconds += runZlibSeconds;
        shares.push_back((runSeconds - runZlibSeconds) / runSeconds);
        fileSize = std::filesystem::file_size(path);
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
    state.counters["pages_per_s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["cpu_ms"] = 1000 * totalSeconds / static_cast<double>(state.iterations());
    state.counters["build_ms"] = 1000 * buildSeconds / static_cast<double>(state.iterations());
    state.counters["zlib_ms"] = 1000 * zlibSeconds / static_cast<double>(state.iterations());
    std::sort(shares.begin(), shares.end());
    state.counters["outside_zlib_share"] = shares.empty() ? 0.0 : shares[shares.size() / 2];
    state.counters["outside_zlib_share_max"] = shares.empty() ? 0.0 : shares.back();
    state.counters["heap_per_page_B"] = heapPerPage;
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakResidentKiB()) / 1024.0;
    state.counters["file_MiB"] = static_cast<double>(fileSize) / (1024.0 * 1024.0);
}

BENCHMARK(BM_BuildAndSave)->Unit(benchmark::kMillisecond)->Iterations(1);

const std::vector<std::vector<std::uint8_t>> &SharedContents() {
    static const auto contents = [] {
        std::vector<std::vector<std::uint8_t>> all;
        for (int i = 0; i < kPages; ++i)
            all.push_back(PageContent(i));
        return all;
    }();
    return contents;
}

// The engine's own share: building and writing everything but the zlib
// work, into memory.
void BM_BuildAndSaveUncompressed(benchmark::State &state) {
    for (auto _ : state) {
        PdfDocument document;
        document.Options().SetCompressContentStreams(false);
        BuildDocument(document, SharedContents());
        std::vector<std::uint8_t> bytes;
        document.Save(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["pages_per_s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_BuildAndSaveUncompressed)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same document compressed, into memory: no disk in the way.
void BM_BuildAndSaveToMemory(benchmark::State &state) {
    for (auto _ : state) {
        PdfDocument document;
        BuildDocument(document, SharedContents());
        std::vector<std::uint8_t> bytes;
        document.Save(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["pages_per_s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_BuildAndSaveToMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ZlibAlone(benchmark::State &state) {
    for (auto _ : state)
        for (const auto &bytes : SharedContents())
            benchmark::DoNotOptimize(Filters::Filtering::FlateDecode().Encode(bytes));
}

BENCHMARK(BM_ZlibAlone)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char **argv) { return ZavorBench::RunRepeatedAndInterleaved(argc, argv, 5); }
