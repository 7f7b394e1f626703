// A document with one A4 page and a graphics object on it, and the content
// text that the graphics object leaves in the page.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "drawing/x_graphics.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"

namespace ZavorTest {

struct GraphicsPage {
    explicit GraphicsPage(ZavorPdf::Pdf::PdfColorMode mode = ZavorPdf::Pdf::PdfColorMode::Rgb) {
        document.Options().SetColorMode(mode);
        page = &document.AddPage();
        page->SetSize(ZavorPdf::Pdf::PageSize::A4);
        gfx = ZavorPdf::Drawing::XGraphics::FromPdfPage(page);
    }

    // Disposes the graphics object and returns the text of the last stream.
    std::string Finish() {
        gfx->Dispose();
        return LastContent();
    }

    std::string LastContent() {
        ZavorPdf::Pdf::PdfContents &contents = page->Contents();
        const auto &bytes = contents.ContentAt(contents.Count() - 1).Bytes();
        return std::string(bytes.begin(), bytes.end());
    }

    ZavorPdf::Pdf::PdfDocument document;
    ZavorPdf::Pdf::PdfPage *page = nullptr;
    std::unique_ptr<ZavorPdf::Drawing::XGraphics> gfx;
};

// What every drawing on a fresh A4 page starts with: the page level with
// the y-down matrix, then the level of the world transformation.
inline const std::string kPageStart = "q\n1 0 0 -1 0 842 cm -100 Tz\nq\n";
// A black pen of width 1 as first written.
inline const std::string kBlackPen = "1 w\n0 J\n0 j\n[]0 d\n0 0 0 RG\n";
inline const std::string kPageEnd = "Q\nQ\n";

}  // namespace ZavorTest
