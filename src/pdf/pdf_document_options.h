// Per-document choices that change what a save writes, and the defaults
// that new pages take.
#pragma once

namespace ZavorPdf::Pdf {

enum class PdfColorMode { Undefined = 0, Rgb = 1, Cmyk = 2 };

class PdfDocumentOptions {
public:
    // Content streams of pages are Flate-compressed when written.
    bool CompressContentStreams() const { return compressContentStreams_; }
    void SetCompressContentStreams(bool value) { compressContentStreams_ = value; }

    bool NoCompression() const { return noCompression_; }
    void SetNoCompression(bool value) { noCompression_ = value; }

    // Decides the colour space of the pages' transparency groups.
    PdfColorMode ColorMode() const { return colorMode_; }
    void SetColorMode(PdfColorMode value) { colorMode_ = value; }

private:
    bool compressContentStreams_ = true;
    bool noCompression_ = false;
    PdfColorMode colorMode_ = PdfColorMode::Undefined;
};

// Margins around the trimmed page, in points. A page with margins grows by
// them when saved, and its trim box marks the original area.
struct TrimMargins {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    bool AreSet() const { return left != 0 || top != 0 || right != 0 || bottom != 0; }
    bool operator==(const TrimMargins &) const = default;
};

class PdfDocumentSettings {
public:
    // Taken by every page that joins the document afterwards.
    const TrimMargins &DefaultTrimMargins() const { return trimMargins_; }
    void SetDefaultTrimMargins(const TrimMargins &value) { trimMargins_ = value; }

private:
    TrimMargins trimMargins_;
};

}  // namespace ZavorPdf::Pdf
