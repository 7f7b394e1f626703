// Reading back a 2,000-page document made by the engine: opening it in each
// mode that loads every object, importing all its pages into a new document,
// and extracting the text of every page. Reports pages per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pdf/content/pdf_text_extractor.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"

namespace {

using namespace ZavorPdf::Pdf;

constexpr int kPages = 2000;

// About 2 KiB of text and lines per page, each page different.
std::vector<std::uint8_t> PageContent(int page) {
    std::string text;
    for (int line = 0; text.size() < 2048; ++line) {
        text += "BT /F1 12 Tf 72 " + std::to_string(800 - 14 * line) + " Td (Zeile " + std::to_string(line) +
                " auf Seite " + std::to_string(page) + ") Tj ET\n";
        text += std::to_string(50 + line) + " " + std::to_string(page % 300) + " m 300 " + std::to_string(line * 3) +
                " l S\n";
    }
    return {text.begin(), text.end()};
}

const std::vector<std::uint8_t> &SavedFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        PdfDocument document;
        for (int i = 0; i < kPages; ++i)
            document.AddPage().Contents().AppendContent().SetBytes(PageContent(i));
        std::vector<std::uint8_t> saved;
        document.Save(saved);
        return saved;
    }();
    return bytes;
}

void BM_Open(benchmark::State &state) {
    auto mode = static_cast<PdfDocumentOpenMode>(state.range(0));
    for (auto _ : state) {
        std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(SavedFile(), mode);
        benchmark::DoNotOptimize(document->PageCount());
    }
    state.counters["pages_per_s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MiB"] = static_cast<double>(SavedFile().size()) / (1024.0 * 1024.0);
}

BENCHMARK(BM_Open)
    ->Arg(static_cast<int>(PdfDocumentOpenMode::Modify))
    ->Arg(static_cast<int>(PdfDocumentOpenMode::Import))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_ImportAllPagesAndSave(benchmark::State &state) {
    for (auto _ : state) {
        std::unique_ptr<PdfDocument> source = IO::PdfReader::Open(SavedFile(), PdfDocumentOpenMode::Import);
        PdfDocument target;
        for (int i = 0; i < kPages; ++i)
            target.AddPage(source->Pages()[i]);
        std::vector<std::uint8_t> saved;
        target.Save(saved);
        benchmark::DoNotOptimize(saved.data());
    }
    state.counters["pages_per_s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ImportAllPagesAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExtractText(benchmark::State &state) {
    std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(SavedFile(), PdfDocumentOpenMode::ReadOnly);
    std::size_t characters = 0;
    for (auto _ : state)
        for (int i = 0; i < kPages; ++i)
            characters += Content::PdfTextExtractor::GetText(*document, i).size();
    benchmark::DoNotOptimize(characters);
    state.counters["pages_per_s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ExtractText)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
