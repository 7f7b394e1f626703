// Laying out and drawing arbitrary text in a box, then saving the page.
// Input: one byte of choices (alignment, Unicode font, underline), one byte
// of box width, one of font size, then the text as UTF-16 (little-endian).
// Contract: nothing worse than an engine exception; every word of the
// layout is exactly as wide as the font measures it alone. A crash, another
// exception, a sanitizer report or a word of another width is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "drawing/fonts/x_font.h"
#include "drawing/x_graphics.h"
#include "drawing/x_solid_brush.h"
#include "drawing/x_text_formatter.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Drawing;

const XFont &FontFor(bool unicode, bool underline, int size) {
    // Made once per kind and size: resolving a font is not what is fuzzed.
    static std::vector<std::unique_ptr<XFont>> fonts(2 * 2 * 64);
    std::unique_ptr<XFont> &font = fonts[static_cast<std::size_t>((unicode * 2 + underline) * 64 + size)];
    if (!font) {
        XPdfFontOptions options(unicode ? Pdf::PdfFontEncoding::Unicode : Pdf::PdfFontEncoding::WinAnsi);
        font = std::make_unique<XFont>(u"Arial", 1 + size, underline ? XFontStyle::Underline : XFontStyle::Regular,
                                       options);
    }
    return *font;
}

void CheckWidths(XGraphics &gfx, const std::u16string &text, const XFont &font, const XRect &box,
                 XParagraphAlignment alignment) {
    XTextFormatter formatter(gfx);
    formatter.SetAlignment(alignment);
    formatter.SetText(text);
    formatter.SetFont(font);
    formatter.SetLayoutRectangle(box);
    formatter.PrepareLayout();
    for (const XTextFormatter::Block &block : formatter.Blocks())
        if (block.Type == XTextFormatter::BlockType::Text && block.Width != font.MeasureWidth(block.Text))
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) return 0;
    const auto alignment = static_cast<XParagraphAlignment>(data[0] % 5);
    const bool unicode = (data[0] & 0x08) != 0;
    const bool underline = (data[0] & 0x10) != 0;
    const XRect box(20, 30, 1 + data[1] * 2, 700);
    const XFont &font = FontFor(unicode, underline, data[2] % 64);
    std::u16string text;
    for (std::size_t i = 3; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    try {
        Pdf::PdfDocument document;
        Pdf::PdfPage &page = document.AddPage();
        std::unique_ptr<XGraphics> gfx = XGraphics::FromPdfPage(&page);
        CheckWidths(*gfx, text, font, box, alignment);
        XTextFormatter formatter(*gfx);
        formatter.SetAlignment(alignment);
        formatter.DrawString(text, font, XSolidBrush(XColor::FromArgb(255, 0, 0, 0)), box);
        // A second text in the same font meets the letters of the first.
        formatter.DrawString(text.substr(text.size() / 2), font, XSolidBrush(XColor::FromArgb(255, 0, 0, 0)), box);
        gfx->Dispose();
        std::vector<std::uint8_t> bytes;
        document.Save(bytes);
    } catch (const ZavorPdfException &) {
    }
    return 0;
}
