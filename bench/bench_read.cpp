// Reading back a 2,000-page document made by the engine: opening it in each
// mode, importing all its pages into a new document, and extracting the
// text of every page. Then the read operations a script runs on a file of
// 10,000 pages through the session, each call as the host makes it: the
// page count, the text of every page one call a page, and all pages
// imported and saved. Reports pages per second.
//
// Runs are repeated three times and interleaved (a shared machine slows
// every case alike) unless --benchmark_repetitions is given.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pdf/content/pdf_text_extractor.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "session/pdf.h"

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
    ->Arg(static_cast<int>(PdfDocumentOpenMode::ReadOnly))
    ->Arg(static_cast<int>(PdfDocumentOpenMode::InformationOnly))
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

// The file of the session cases: 10,000 pages of 40 lines of 90 characters
// each, one Helvetica font for all, the content uncompressed (some 40 MB),
// written once by hand so that its layout does not follow our writer.
constexpr int kFilePages = 10000;
bool largeFileWritten = false;

const std::filesystem::path &LargeFile() {
    static const std::filesystem::path path = [] {
        std::filesystem::path file = std::filesystem::temp_directory_path() / "zavor_bench_read_10000.pdf";
        std::string text = "%PDF-1.4\n";
        std::vector<std::size_t> offsets;
        auto add = [&](const std::string &object) {
            offsets.push_back(text.size());
            text += std::to_string(offsets.size()) + " 0 obj\n" + object + "\nendobj\n";
        };
        std::string kids;
        for (int i = 0; i < kFilePages; ++i) kids += std::to_string(4 + 2 * i) + " 0 R ";
        add("<< /Type /Catalog /Pages 2 0 R >>");
        add("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(kFilePages) + " >>");
        add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
        for (int i = 0; i < kFilePages; ++i) {
            std::string content = "BT /F1 10 Tf 12 TL 40 800 Td\n";
            for (int line = 0; line < 40; ++line) {
                std::string words = "Seite " + std::to_string(i + 1) + " Zeile " + std::to_string(line + 1) + ":";
                while (words.size() < 90) words += " Wort" + std::to_string((i * 7 + line * 13 + words.size()) % 97);
                content += "(" + words.substr(0, 90) + ") Tj T*\n";
            }
            content += "ET";
            add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R >> >> "
                "/Contents " + std::to_string(5 + 2 * i) + " 0 R >>");
            add("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream");
        }
        std::size_t xref = text.size();
        text += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
        for (std::size_t offset : offsets) {
            char line[24];
            std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
            text += line;
        }
        text += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
                std::to_string(xref) + "\n%%EOF\n";
        std::ofstream(file, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
        largeFileWritten = true;
        return file;
    }();
    return path;
}

std::u16string LargeFileName() { return LargeFile().u16string(); }

// Every iteration starts a session of its own, as a script run does, so
// that no file is kept from the one before.
ZavorPlugin::PDF &FreshSession(benchmark::State &state) {
    state.PauseTiming();
    ZavorPlugin::PDF::Kill();
    ZavorPlugin::PDF &session = ZavorPlugin::PDF::GetInstance();
    state.ResumeTiming();
    return session;
}

void FileCounters(benchmark::State &state, int pages) {
    state.counters["pages_per_s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(LargeFile())) / (1024.0 * 1024.0);
}

void BM_SessionPageCount(benchmark::State &state) {
    std::u16string file = LargeFileName();
    for (auto _ : state) {
        std::u16string count = FreshSession(state).GetPDFInfo(file, 0);
        if (count != u"10000") state.SkipWithError("wrong page count");
    }
    FileCounters(state, kFilePages);
}

BENCHMARK(BM_SessionPageCount)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SessionTextOfEveryPage(benchmark::State &state) {
    std::u16string file = LargeFileName();
    std::size_t characters = 0;
    for (auto _ : state) {
        ZavorPlugin::PDF &session = FreshSession(state);
        for (int i = 0; i < kFilePages; ++i) characters += session.GetPDFText(file, i).size();
    }
    if (characters == 0) state.SkipWithError("no text");
    FileCounters(state, kFilePages);
}

BENCHMARK(BM_SessionTextOfEveryPage)->Unit(benchmark::kMillisecond)->Iterations(1);

// The first ten pages of the large file: what a script that looks at the
// start of a long file pays, the open included.
void BM_SessionTextOfFirstPages(benchmark::State &state) {
    std::u16string file = LargeFileName();
    std::size_t characters = 0;
    for (auto _ : state) {
        ZavorPlugin::PDF &session = FreshSession(state);
        for (int i = 0; i < 10; ++i) characters += session.GetPDFText(file, i).size();
    }
    if (characters == 0) state.SkipWithError("no text");
    state.counters["pages_per_s"] = benchmark::Counter(10, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_SessionTextOfFirstPages)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SessionImportAllAndSave(benchmark::State &state) {
    std::u16string file = LargeFileName();
    std::filesystem::path saved = std::filesystem::temp_directory_path() / "zavor_bench_read_import.pdf";
    for (auto _ : state) {
        ZavorPlugin::PDF &session = FreshSession(state);
        session.AddPDF(file, 0, 0);
        session.SavePDF(saved.u16string());
        if (session.document->PageCount() != kFilePages) state.SkipWithError("pages missing");
    }
    FileCounters(state, kFilePages);
}

BENCHMARK(BM_SessionImportAllAndSave)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// Repeated and interleaved unless the command line says otherwise.
int main(int argc, char **argv) {
    std::vector<char *> arguments(argv, argv + argc);
    bool own = false;
    for (int i = 1; i < argc; ++i) own = own || std::string(argv[i]).starts_with("--benchmark_repetitions");
    std::string repetitions = "--benchmark_repetitions=3";
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    if (!own) {
        arguments.push_back(repetitions.data());
        arguments.push_back(interleaving.data());
    }
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ZavorPlugin::PDF::Kill();
    if (largeFileWritten) std::filesystem::remove(LargeFile());
    return 0;
}
