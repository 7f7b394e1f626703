// How a font is written into a PDF: its encoding and whether its program
// is embedded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZavorPdf::Pdf {

enum class PdfFontEncoding { WinAnsi = 0, CP1252 = 0, Unicode = 1 };
enum class PdfFontEmbedding { Default = 0, None = 1, Always = 2, Automatic = 3 };

}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Drawing {

class XPdfFontOptions {
public:
    XPdfFontOptions() = default;
    XPdfFontOptions(Pdf::PdfFontEncoding encoding, Pdf::PdfFontEmbedding embedding)
        : encoding_(encoding), embedding_(embedding) {}
    explicit XPdfFontOptions(Pdf::PdfFontEncoding encoding) : encoding_(encoding), embedding_(Pdf::PdfFontEmbedding::None) {}
    explicit XPdfFontOptions(Pdf::PdfFontEmbedding embedding) : embedding_(embedding) {}
    // The bytes only choose the encoding; they are not kept.
    XPdfFontOptions(bool unicode, const std::vector<std::uint8_t> & /*fontData*/)
        : encoding_(unicode ? Pdf::PdfFontEncoding::Unicode : Pdf::PdfFontEncoding::WinAnsi),
          embedding_(Pdf::PdfFontEmbedding::None) {}

    // Older forms kept for callers written against them; they give the
    // default options whatever they are passed.
    explicit XPdfFontOptions(bool /*embed*/) {}
    XPdfFontOptions(bool /*embed*/, bool /*unicode*/) {}
    XPdfFontOptions(bool /*embed*/, const std::string & /*baseFont*/) {}
    XPdfFontOptions(bool /*embed*/, bool /*unicode*/, const std::string & /*baseFont*/, const std::string & /*fontFile*/) {}
    XPdfFontOptions(Pdf::PdfFontEmbedding /*embedding*/, bool /*unicode*/) {}

    Pdf::PdfFontEncoding FontEncoding() const { return encoding_; }
    Pdf::PdfFontEmbedding FontEmbedding() const { return embedding_; }
    bool Embed() const { return embedding_ != Pdf::PdfFontEmbedding::None; }

private:
    Pdf::PdfFontEncoding encoding_ = Pdf::PdfFontEncoding::WinAnsi;
    Pdf::PdfFontEmbedding embedding_ = Pdf::PdfFontEmbedding::Default;
};

}  // namespace ZavorPdf::Drawing
