// Flate throughput of the engine's filter next to bare zlib on the same
// bytes: 16 MiB of content-stream text of the kind the renderer writes. The
// wrapper should cost no more than a few percent over compress2/uncompress.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"

#include "bench_main.h"

namespace {

constexpr std::size_t ContentSize = 16 * 1024 * 1024;

void AppendNumber(std::string &out, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    out.append(buffer, result.ptr);
}

// Text objects and small graphics between save/restore pairs, with the
// varying positions, sizes and strings that make real pages.
std::vector<std::uint8_t> MakeContent() {
    std::mt19937 engine(2026);
    std::uniform_real_distribution<double> x(0.0, 595.0);
    std::uniform_real_distribution<double> y(0.0, 842.0);
    std::uniform_int_distribution<int> size(6, 24);
    std::uniform_int_distribution<int> kind(0, 3);
    static const char *const Words[] = {"Hello", "Rechnung", "Betrag", "Summe", "Seite", "ZAVOR", "Datum"};
    std::string text;
    text.reserve(ContentSize + 256);
    while (text.size() < ContentSize) {
        text += "q 1 0 0 1 ";
        AppendNumber(text, x(engine));
        text += ' ';
        AppendNumber(text, y(engine));
        text += " cm ";
        if (kind(engine) == 0) {
            text += "0.5 w 0 0 ";
            AppendNumber(text, x(engine) / 4);
            text += ' ';
            AppendNumber(text, y(engine) / 8);
            text += " re S Q\n";
            continue;
        }
        text += "BT /F" + std::to_string(kind(engine) + 1) + ' ' + std::to_string(size(engine)) + " Tf (";
        text += Words[engine() % 7];
        text += ' ';
        text += std::to_string(engine() % 10000);
        text += ") Tj ET Q\n";
    }
    text.resize(ContentSize);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

const std::vector<std::uint8_t> &Content() {
    static const std::vector<std::uint8_t> content = MakeContent();
    return content;
}

const std::vector<std::uint8_t> &Compressed() {
    static const std::vector<std::uint8_t> compressed = ZavorPdf::Pdf::Filters::Filtering::FlateDecode().Encode(Content());
    return compressed;
}

void BM_ZavorFlateEncode(benchmark::State &state) {
    const auto &flate = ZavorPdf::Pdf::Filters::Filtering::FlateDecode();
    for (auto _ : state) {
        auto encoded = flate.Encode(Content());
        benchmark::DoNotOptimize(encoded.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Content().size()));
}

void BM_ZlibCompress2(benchmark::State &state) {
    const auto &content = Content();
    for (auto _ : state) {
        uLongf length = compressBound(static_cast<uLong>(content.size()));
        std::unique_ptr<Bytef[]> out(new Bytef[length]);
        if (compress2(out.get(), &length, content.data(), static_cast<uLong>(content.size()),
                      Z_DEFAULT_COMPRESSION) != Z_OK) {
            state.SkipWithError("compress2 failed");
        }
        benchmark::DoNotOptimize(out.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * content.size()));
}

void BM_ZavorFlateDecode(benchmark::State &state) {
    const auto &flate = ZavorPdf::Pdf::Filters::Filtering::FlateDecode();
    const auto &compressed = Compressed();
    for (auto _ : state) {
        auto decoded = flate.Decode(compressed);
        benchmark::DoNotOptimize(decoded->data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Content().size()));
}

// Bare zlib is told the output size in advance, which a PDF reader never is.
void BM_ZlibUncompress(benchmark::State &state) {
    const auto &compressed = Compressed();
    for (auto _ : state) {
        uLongf length = static_cast<uLongf>(Content().size());
        std::unique_ptr<Bytef[]> out(new Bytef[length]);
        if (uncompress(out.get(), &length, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK) {
            state.SkipWithError("uncompress failed");
        }
        benchmark::DoNotOptimize(out.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Content().size()));
}

// On a shared machine the fastest repetition tells the cost of the code
// best; the main repeats every benchmark (see bench_main.h).
double Fastest(const std::vector<double> &times) {
    return *std::min_element(times.begin(), times.end());
}

}  // namespace

BENCHMARK(BM_ZavorFlateEncode)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ZlibCompress2)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ZavorFlateDecode)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

int main(int argc, char **argv) { return ZavorBench::RunRepeatedAndInterleaved(argc, argv, 9); }
