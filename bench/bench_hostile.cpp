// Hostile files that once kept the reader busy for minutes or drove it into
// gigabytes: one dictionary of a great many keys, read as the page count
// reads it, and a page of several Flate bombs placed as a picture, which
// must be refused early; and a file of many pages whose table is cut off,
// rebuilt from a scan. Reports keys per second, the refusal time and the
// time to read the pages with and without the table.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "drawing/x_graphics.h"
#include "drawing/x_pdf_form.h"
#include "drawing/x_rect.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "platform/flate_codec.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;

// Numbered objects, a cross-reference table that points at them and a
// trailer whose root is object 1.
std::string WithTable(const std::vector<std::string> &objects) {
    std::string file = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(file.size());
        file += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    std::size_t table = file.size();
    file += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        std::string digits = std::to_string(offset);
        file += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
    }
    file += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
            std::to_string(table) + "\n%%EOF\n";
    return file;
}

std::vector<std::uint8_t> Bytes(const std::string &text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> WideDictionaryFile(int keys) {
    std::string wide = "<<";
    for (int i = 0; i < keys; ++i) wide += " /k" + std::to_string(i) + " 1";
    return Bytes(WithTable({"<< /Type /Catalog /Pages 2 0 R /Wide 3 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>",
                            wide + " >>"}));
}

void BM_ParseWideDictionary(benchmark::State &state) {
    const std::vector<std::uint8_t> file = WideDictionaryFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(file, PdfDocumentOpenMode::InformationOnly);
        benchmark::DoNotOptimize(document->PageCount());
    }
    state.counters["keys_per_s"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                      benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_MiB"] = static_cast<double>(file.size()) / (1024.0 * 1024.0);
}

BENCHMARK(BM_ParseWideDictionary)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);

// One page whose contents are eight streams of zeros, each inflating to the
// given number of MiB.
std::vector<std::uint8_t> BombPageFile(std::size_t mebibytes) {
    const std::vector<std::uint8_t> zeros(mebibytes << 20, 0);
    const std::vector<std::uint8_t> packed = ZavorPlatform::Deflate(zeros);
    const std::string data(packed.begin(), packed.end());
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                     ""};
    std::string contents;
    for (int i = 0; i < 8; ++i) {
        contents += std::to_string(objects.size() + 1) + " 0 R ";
        objects.push_back("<< /Length " + std::to_string(data.size()) + " /Filter /FlateDecode >>\nstream\n" + data +
                          "\nendstream");
    }
    objects[2] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents [" + contents + "] >>";
    return Bytes(WithTable(objects));
}

void BM_RefuseStreamBombs(benchmark::State &state) {
    const std::vector<std::uint8_t> file = BombPageFile(static_cast<std::size_t>(state.range(0)));
    const std::string text(file.begin(), file.end());
    bool refused = false;
    for (auto _ : state) {
        PdfDocument target;
        std::unique_ptr<Drawing::XGraphics> gfx = Drawing::XGraphics::FromPdfPage(&target.AddPage());
        std::istringstream stream(text);
        try {
            std::unique_ptr<Drawing::XPdfForm> form = Drawing::XPdfForm::FromStream(stream);
            gfx->DrawImage(*form, Drawing::XRect(0, 0, 100, 100));
        } catch (const PdfReaderException &) {
            refused = true;
        }
    }
    state.counters["refused"] = refused ? 1 : 0;
    state.counters["file_MiB"] = static_cast<double>(file.size()) / (1024.0 * 1024.0);
    state.counters["inflated_MiB"] = static_cast<double>(8 * state.range(0));
}

BENCHMARK(BM_RefuseStreamBombs)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(1);

// Pages with small contents, their table intact or cut off with the end of
// the file, which makes the reader rebuild it from a scan of the objects.
std::vector<std::uint8_t> ManyPagesFile(int pages, bool cut) {
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>", ""};
    std::string kids;
    for (int i = 0; i < pages; ++i) {
        std::string number = std::to_string(objects.size() + 1);
        kids += number + " 0 R ";
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " +
                          std::to_string(objects.size() + 2) + " 0 R >>");
        objects.push_back("<< /Length 8 >>\nstream\n0 0 m 1 l\nendstream");
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>";
    std::string file = WithTable(objects);
    if (cut) file.resize(file.rfind("\nxref\n") + 1);
    return Bytes(file);
}

void BM_ReadPagesRepaired(benchmark::State &state) {
    const bool cut = state.range(1) != 0;
    const std::vector<std::uint8_t> file = ManyPagesFile(static_cast<int>(state.range(0)), cut);
    int pages = 0;
    for (auto _ : state) {
        std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(file, PdfDocumentOpenMode::InformationOnly);
        pages = document->PageCount();
    }
    state.counters["pages"] = pages;
    state.counters["file_MiB"] = static_cast<double>(file.size()) / (1024.0 * 1024.0);
}

BENCHMARK(BM_ReadPagesRepaired)
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->ArgNames({"pages", "cut"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
