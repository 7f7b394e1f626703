#include "test_reader_support.h"

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "support/test_output.h"

namespace ZavorTest {

using namespace ZavorPdf::Pdf;

std::filesystem::path WriteSourcePdf(const std::string &name, const std::vector<std::pair<int, int>> &sizes) {
    PdfDocument document;
    document.Info().SetTitle(u"Reader test");
    auto font = std::make_unique<PdfDictionary>(&document);
    font->Elements().SetName("/Type", "/Font");
    font->Elements().SetName("/Subtype", "/Type1");
    font->Elements().SetName("/BaseFont", "/Helvetica");
    PdfReference *fontReference = document.ReferenceTable().Add(std::move(font));
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        PdfPage &page = document.AddPage();
        page.SetWidth(sizes[i].first);
        page.SetHeight(sizes[i].second);
        auto fonts = std::make_unique<PdfDictionary>(&document);
        fonts->Elements().SetReference("/F1", fontReference);
        auto resources = std::make_unique<PdfDictionary>(&document);
        resources->Elements().SetValue("/Font", std::move(fonts));
        page.Elements().SetValue("/Resources", std::move(resources));
        std::string text = "BT /F1 12 Tf 20 20 Td (page " + std::to_string(i + 1) + ") Tj ET";
        page.Contents().AppendContent().SetBytes(std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    return PublishOutput(name, [&](const std::filesystem::path &path) { document.Save(path); });
}

std::string FailureOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const ZavorPdf::ZavorPdfException &error) {
        return error.what();
    }
    return "no failure";
}

std::string MediaBoxSize(PdfPage &page) {
    PdfRectangle box = page.MediaBox();
    return std::to_string(static_cast<int>(box.X2() - box.X1())) + "x" +
           std::to_string(static_cast<int>(box.Y2() - box.Y1()));
}

std::string ContentText(PdfPage &page) {
    auto *content = page.Elements().GetDictionary("/Contents");
    if (content == nullptr) {
        PdfArray *array = page.Elements().GetArray("/Contents");
        if (array == nullptr || array->Elements().Count() != 1) return "<no single content>";
        content = array->Elements().GetDictionary(0);
    }
    if (content == nullptr || content->Stream() == nullptr) return "<no stream>";
    std::vector<std::uint8_t> bytes = content->Stream()->UnfilteredValue();
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace ZavorTest
