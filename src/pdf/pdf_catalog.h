// The document catalog ("/Type /Catalog"): the root of the page tree and of
// the document-wide viewer settings.
#pragma once

#include <string>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfOutline;
class PdfPages;

enum class PdfPageLayout : int { SinglePage = 0, OneColumn = 1, TwoColumnLeft = 2, TwoColumnRight = 3, TwoPageLeft = 4, TwoPageRight = 5 };

enum class PdfPageMode : int { UseNone = 0, UseOutlines = 1, UseThumbs = 2, FullScreen = 3, UseOC = 4, UseAttachments = 5 };

class PdfCatalog : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Version = "/Version";
        static constexpr const char *Pages = "/Pages";
        static constexpr const char *PageLabels = "/PageLabels";
        static constexpr const char *Names = "/Names";
        static constexpr const char *Dests = "/Dests";
        static constexpr const char *ViewerPreferences = "/ViewerPreferences";
        static constexpr const char *PageLayout = "/PageLayout";
        static constexpr const char *PageMode = "/PageMode";
        static constexpr const char *Outlines = "/Outlines";
        static constexpr const char *OpenAction = "/OpenAction";
        static constexpr const char *AcroForm = "/AcroForm";
        static constexpr const char *Metadata = "/Metadata";
        static constexpr const char *Lang = "/Lang";
        static const DictionaryMeta &Meta();
    };

    explicit PdfCatalog(PdfDocument *document = nullptr);
    explicit PdfCatalog(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfCatalog>(*this); }

    // The page tree, created as an indirect object on first use.
    PdfPages &Pages();
    // The outline root, created as an indirect object on first use.
    PdfOutline &Outlines();

    PdfPageLayout PageLayout() const;
    void SetPageLayout(PdfPageLayout value);
    PdfPageMode PageMode() const;
    void SetPageMode(PdfPageMode value);
    bool HasPageMode() const { return Elements().ContainsKey(Keys::PageMode); }
    // "/Lang": the natural language of the document's text ("de-DE").
    std::u16string Language() const { return Elements().GetString(Keys::Lang); }
    void SetLanguage(std::u16string value) { Elements().SetString(Keys::Lang, std::move(value)); }

    // Prepares the page tree and the outlines for being written; a document
    // with bookmarks opens with them shown unless it has a page mode.
    void PrepareForSave();
};

}  // namespace ZavorPdf::Pdf
