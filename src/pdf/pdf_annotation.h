// Base of the page annotations ("/Type /Annot"). Every annotation gets a
// unique name ("/NM") and its modification time ("/M") when it is made, and
// every change through a setter renews "/M".
#pragma once

#include <memory>
#include <string>

#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_rectangle.h"
#include "pdf/pdf_rgb_color.h"

namespace ZavorPdf::Pdf {

class PdfAnnotations;

class PdfAnnotation : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Subtype = "/Subtype";
        static constexpr const char *Rect = "/Rect";
        static constexpr const char *Contents = "/Contents";
        static constexpr const char *P = "/P";
        static constexpr const char *NM = "/NM";
        static constexpr const char *M = "/M";
        static constexpr const char *F = "/F";
        static constexpr const char *BS = "/BS";
        static constexpr const char *AP = "/AP";
        static constexpr const char *AS = "/AS";
        static constexpr const char *Border = "/Border";
        static constexpr const char *C = "/C";
        static constexpr const char *A = "/A";
        static constexpr const char *Dest = "/Dest";
        static constexpr const char *T = "/T";
        static constexpr const char *Popup = "/Popup";
        static constexpr const char *CA = "/CA";
        static constexpr const char *Subj = "/Subj";
        static const DictionaryMeta &Meta();
    };

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }

    int Flags() const { return Elements().GetInteger(Keys::F); }
    void SetFlags(int value);
    PdfRectangle Rectangle() const { return Elements().GetRectangle(Keys::Rect); }
    void SetRectangle(const PdfRectangle &value);
    std::u16string Title() const { return Elements().GetString(Keys::T); }
    void SetTitle(std::u16string value);
    std::u16string Subject() const { return Elements().GetString(Keys::Subj); }
    void SetSubject(std::u16string value);
    std::u16string Contents() const { return Elements().GetString(Keys::Contents); }
    void SetContents(std::u16string value);
    // "/C" as three reals 0 ... 1; anything but three numbers reads black.
    PdfRgbColor Color() const;
    void SetColor(PdfRgbColor value);
    // "/CA", 1 when absent; values outside 0 ... 1 fail with "Opacity must
    // be a value in the range from 0 to 1." (argument "value").
    double Opacity() const;
    void SetOpacity(double value);

protected:
    // Sets "/Type", "/NM" and "/M"; a subtype sets "/Subtype".
    explicit PdfAnnotation(PdfDocument *document);
    explicit PdfAnnotation(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}
    PdfAnnotation(const PdfAnnotation &other) = default;

    void Touch();
    void SetText(const char *key, std::u16string value);
};

// An annotation read from a file, of whatever subtype.
class PdfGenericAnnotation final : public PdfAnnotation {
public:
    explicit PdfGenericAnnotation(PdfDocument *document = nullptr) : PdfAnnotation(document) {}
    explicit PdfGenericAnnotation(PdfDictionary &&dictionary) : PdfAnnotation(std::move(dictionary)) {}
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfGenericAnnotation>(*this); }
};

// "8-4-4-4-12" lower-case hex digits of a new random GUID.
std::string NewAnnotationName();

}  // namespace ZavorPdf::Pdf
