// Writing documents through the drawing layer, as the session's text and
// figure commands do: A4 pages holding one text box of 60 lines of 90
// characters (10 pt Arial), and a long document of pages with a short text
// and a half-transparent rectangle each, whose second half must take no
// longer than its first. Reports pages per second, file bytes per page and
// the heap a finished page keeps next to its stored content (the process's
// peak memory would mix the interleaved runs).
// Every benchmark runs five times in random turn with the others (see
// bench_main.h): compare medians.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "drawing/fonts/x_font.h"
#include "drawing/x_color.h"
#include "drawing/x_graphics.h"
#include "drawing/x_pen.h"
#include "drawing/x_solid_brush.h"
#include "drawing/x_text_formatter.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"

#include "bench_main.h"

namespace {

using namespace ZavorPdf;
using Drawing::XColor;
using Drawing::XFont;
using Drawing::XGraphics;
using Drawing::XRect;
using Drawing::XSolidBrush;

constexpr int kLinesPerPage = 60;
constexpr std::size_t kCharsPerLine = 90;

// German words with umlauts and sharp s, as the side-by-side programs use.
const char16_t *const kWords[] = {
    u"Über", u"Äpfel", u"Öfen", u"Größe", u"Straße", u"Maß", u"Grüße", u"schön", u"fröhlich", u"müde",
    u"Bücher", u"Brücke", u"Mädchen", u"Käse", u"Märchen", u"Tür", u"Stühle", u"Schlüssel", u"Gemüse",
    u"Frühstück", u"Glück", u"Löwe", u"Vögel", u"Häuser", u"Lösung", u"Gebühr", u"Kühlschrank", u"Rechnung",
    u"Kunde", u"Auftrag", u"Lieferung", u"Zahlung", u"Betrag", u"Datum", u"Seite", u"Zeile", u"Vertrag",
    u"Angebot", u"Menge", u"Preis", u"Summe", u"Steuer", u"netto", u"brutto", u"und", u"oder", u"aber",
    u"weil", u"dass", u"wenn", u"als", u"mit", u"von", u"zu", u"bei", u"für", u"auf", u"in", u"zwischen",
    u"gegen", u"Woche", u"Monat", u"täglich", u"jährlich", u"Übersicht", u"Erklärung", u"Gültigkeit",
    u"Kapazität", u"Priorität", u"Spaß", u"weiß", u"Gruß", u"Äußerung", u"Öffnung", u"Überweisung"};

// One page: lines of exactly 90 characters joined by line feeds.
std::u16string PageText(std::mt19937 &random) {
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kWords) - 1);
    std::u16string text;
    for (int line = 0; line < kLinesPerPage; ++line) {
        std::u16string row;
        while (true) {
            std::u16string_view word = kWords[pick(random)];
            if (row.size() + word.size() + 1 > kCharsPerLine)
                break;
            if (!row.empty())
                row += u' ';
            row += word;
        }
        while (row.size() < kCharsPerLine)
            row += row.size() + 1 < kCharsPerLine ? u'x' : u'.';
        text += row;
        text += u'\n';
    }
    return text;
}

const std::vector<std::u16string> &PageTexts() {
    static const std::vector<std::u16string> texts = [] {
        std::mt19937 random(20261209);
        std::vector<std::u16string> all;
        for (int i = 0; i < 50; ++i)
            all.push_back(PageText(random));
        return all;
    }();
    return texts;
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

// The bytes the pages' content streams hold now (compressed once a page is
// finished, when the document compresses its content).
std::size_t StoredContentBytes(Pdf::PdfDocument &document) {
    std::size_t total = 0;
    Pdf::PdfPages &pages = document.Pages();
    for (int i = 0; i < pages.Count(); ++i) {
        Pdf::PdfContents &contents = pages.PageAt(i).Contents();
        for (int k = 0; k < contents.Count(); ++k)
            total += contents.ContentAt(k).Stream()->Length();
    }
    return total;
}

struct Writer {
    Writer() : font(u"Arial", 10), black(XColor::FromArgb(255, 0, 0, 0)), shade(XColor::FromArgb(128, 200, 0, 0)) {}

    Pdf::PdfPage &NewPage() {
        Pdf::PdfPage &page = document.AddPage();
        page.SetSize(Pdf::PageSize::A4);
        return page;
    }

    void TextBoxPage(const std::u16string &text) {
        auto gfx = XGraphics::FromPdfPage(&NewPage());
        Drawing::XTextFormatter formatter(*gfx);
        formatter.DrawString(text, font, black, XRect(28, 40, 540, 760));
        gfx->Dispose();
    }

    void TextAndRectanglePage(int number) {
        auto gfx = XGraphics::FromPdfPage(&NewPage());
        Drawing::XTextFormatter formatter(*gfx);
        formatter.DrawString(u"Seite " + std::u16string(1, static_cast<char16_t>(u'0' + number % 10)), font, black,
                             XRect(28, 40, 540, 20));
        gfx->DrawRectangle(shade, XRect(28, 80, 200, 100));
        gfx->Dispose();
    }

    Pdf::PdfDocument document;
    XFont font;
    XSolidBrush black;
    XSolidBrush shade;
};

void ReportPages(benchmark::State &state, int pages, std::size_t fileBytes) {
    state.counters["pages_per_s"] = benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_B_per_page"] = static_cast<double>(fileBytes) / pages;
}

void BM_WriteTextBoxPages(benchmark::State &state) {
    const int pages = static_cast<int>(state.range(0));
    const auto &texts = PageTexts();
    std::size_t fileBytes = 0;
    double heapPerPage = 0;
    double storedPerPage = 0;
    for (auto _ : state) {
        std::size_t heapBefore = HeapInUse();
        auto writer = std::make_unique<Writer>();
        for (int i = 0; i < pages; ++i)
            writer->TextBoxPage(texts[static_cast<std::size_t>(i) % texts.size()]);
        heapPerPage = static_cast<double>(HeapInUse() - heapBefore) / pages;
        state.PauseTiming();
        storedPerPage = static_cast<double>(StoredContentBytes(writer->document)) / pages;
        state.ResumeTiming();
        std::vector<std::uint8_t> bytes;
        writer->document.Save(bytes);
        fileBytes = bytes.size();
    }
    ReportPages(state, pages, fileBytes);
    state.counters["heap_B_per_page"] = heapPerPage;
    state.counters["stored_content_B_per_page"] = storedPerPage;
    // The goal: a finished page keeps no more than its compressed content
    // and 2 KiB.
    state.counters["heap_over_content_B"] = heapPerPage - storedPerPage;
}

BENCHMARK(BM_WriteTextBoxPages)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Every page adds objects to the document: anything that looks through all
// of them per page or per figure shows as a second half slower than the
// first.
void BM_WriteTextAndRectanglePages(benchmark::State &state) {
    const int pages = static_cast<int>(state.range(0));
    std::size_t fileBytes = 0;
    double secondToFirst = 0;
    for (auto _ : state) {
        Writer writer;
        using Clock = std::chrono::steady_clock;
        auto start = Clock::now();
        for (int i = 0; i < pages / 2; ++i)
            writer.TextAndRectanglePage(i);
        auto middle = Clock::now();
        for (int i = pages / 2; i < pages; ++i)
            writer.TextAndRectanglePage(i);
        auto end = Clock::now();
        secondToFirst = std::chrono::duration<double>(end - middle) / std::chrono::duration<double>(middle - start);
        std::vector<std::uint8_t> bytes;
        writer.document.Save(bytes);
        fileBytes = bytes.size();
    }
    ReportPages(state, pages, fileBytes);
    state.counters["second_to_first_half"] = secondToFirst;
}

BENCHMARK(BM_WriteTextAndRectanglePages)->Arg(20000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char **argv) { return ZavorBench::RunRepeatedAndInterleaved(argc, argv, 5); }
