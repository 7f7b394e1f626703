// The "/FontDescriptor" dictionary of a PDF font, with the embedded font
// program once there is one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drawing/fonts/open_type_descriptor.h"
#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf::Advanced {

class PdfFontDescriptor : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Ascent = "/Ascent";
        static constexpr const char *CapHeight = "/CapHeight";
        static constexpr const char *Descent = "/Descent";
        static constexpr const char *Flags = "/Flags";
        static constexpr const char *FontBBox = "/FontBBox";
        static constexpr const char *ItalicAngle = "/ItalicAngle";
        static constexpr const char *StemV = "/StemV";
        static constexpr const char *XHeight = "/XHeight";
        static constexpr const char *FontName = "/FontName";
        static constexpr const char *FontFile2 = "/FontFile2";
    };
    static constexpr int SymbolicFlag = 4;
    static constexpr int NonsymbolicFlag = 32;

    // `descriptor` is not owned (process lifetime). `fontName` without "/".
    PdfFontDescriptor(PdfDocument *document, const Fonts::OpenType::OpenTypeDescriptor &descriptor,
                      const std::string &fontName);

    const Fonts::OpenType::OpenTypeDescriptor &Descriptor() const { return *descriptor_; }
    bool IsSymbolFont() const { return isSymbolFont_; }

    // Stores the font file as the "/FontFile2" stream (made indirect on the
    // first call, replaced on later ones): "/Length1" is the plain length,
    // and the bytes are Flate-compressed when `compress` is set.
    void SetFontProgram(std::vector<std::uint8_t> fontFile, bool compress);
    // Null until SetFontProgram.
    PdfDictionary *FontProgram() const { return fontFile_; }

private:
    const Fonts::OpenType::OpenTypeDescriptor *descriptor_;  // non-owning
    bool isSymbolFont_;
    PdfDictionary *fontFile_ = nullptr;  // non-owning, in the reference table
};

}  // namespace ZavorPdf::Pdf::Advanced
