// One bookmark of the document outline, or the outline root (the catalog's
// "/Outlines"). Its place in the tree (parent, siblings, children) is kept
// in memory and written into "/Parent", "/Prev", "/Next", "/First" and
// "/Last" when the document is saved.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_rgb_color.h"

namespace ZavorPdf::Pdf {

class PdfOutlineCollection;
class PdfPage;

enum class PdfOutlineStyle { Regular = 0, Italic = 1, Bold = 2, BoldItalic = 3 };

class PdfOutline : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Title = "/Title";
        static constexpr const char *Parent = "/Parent";
        static constexpr const char *Prev = "/Prev";
        static constexpr const char *Next = "/Next";
        static constexpr const char *First = "/First";
        static constexpr const char *Last = "/Last";
        static constexpr const char *Count = "/Count";
        static constexpr const char *Dest = "/Dest";
        static constexpr const char *A = "/A";
        static constexpr const char *SE = "/SE";
        static constexpr const char *C = "/C";
        static constexpr const char *F = "/F";
        static const DictionaryMeta &Meta();
    };

    explicit PdfOutline(PdfDocument *document = nullptr);
    // Takes over an outline dictionary read from a file.
    explicit PdfOutline(PdfDictionary &&dictionary);
    PdfOutline(std::u16string title, PdfPage *destinationPage, bool opened = false);
    // With a style, "/F" is written.
    PdfOutline(std::u16string title, PdfPage *destinationPage, bool opened, PdfOutlineStyle style,
               PdfRgbColor textColor = {});
    PdfOutline(const PdfOutline &other);
    ~PdfOutline() override;

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfOutline>(*this); }

    std::u16string Title() const { return Elements().GetString(Keys::Title); }
    // PDFDocEncoding; UTF-16 when a character is outside it.
    void SetTitle(std::u16string value);

    // Non-owning; a page of the same document, or null.
    PdfPage *DestinationPage() const { return destinationPage_; }
    void SetDestinationPage(PdfPage *page) { destinationPage_ = page; }
    bool Opened() const { return opened_; }
    void SetOpened(bool value) { opened_ = value; }
    // Opened outlines added anywhere below this one.
    int OpenCount() const { return openCount_; }
    PdfOutlineStyle Style() const;
    void SetStyle(PdfOutlineStyle value) { Elements().SetInteger(Keys::F, static_cast<int>(value)); }
    PdfRgbColor TextColor() const { return textColor_; }
    void SetTextColor(PdfRgbColor value) { textColor_ = value; }

    // Non-owning; null for the root.
    PdfOutline *Parent() const { return parent_; }
    bool HasChildren() const;
    // The children, created on first use.
    PdfOutlineCollection &Outlines();

    // Writes the tree's links, destinations, counts and colours, this
    // outline first, then its children in order.
    void PrepareForSave();

private:
    friend class PdfOutlineCollection;

    void PrepareLinks(const PdfOutline *previous, const PdfOutline *next);

    PdfPage *destinationPage_ = nullptr;  // non-owning
    PdfOutline *parent_ = nullptr;        // non-owning
    bool opened_ = false;
    int openCount_ = 0;
    PdfRgbColor textColor_;
    std::unique_ptr<PdfOutlineCollection> outlines_;
};

}  // namespace ZavorPdf::Pdf
