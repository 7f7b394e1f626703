// Pages of PDF files placed like pictures: the page suffix of the path, the
// form object made of the page, sharing within a document, turned pages,
// failures with their messages, and a saved file read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "drawing/fonts/pdf_font_tables.h"
#include "drawing/image_errors.h"
#include "drawing/pdf_form_x_object.h"
#include "drawing/x_graphics.h"
#include "drawing/x_pdf_form.h"
#include "drawing/x_colors.h"
#include "drawing/x_solid_brush.h"
#include "geometry_test_support.h"
#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_rectangle.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "platform/code_page.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_graphics_support.h"

using namespace ZavorPdf::Drawing;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfPage;
using ZavorPdf::Pdf::Advanced::PdfFontTables;
using ZavorPdf::Pdf::Advanced::PdfFormXObject;
namespace fs = std::filesystem;

namespace {

std::u16string U16(const fs::path &path) { return ZavorPlatform::Utf8ToUtf16(path.string()); }

using ZavorTest::RunCommand;

// Three pages, each with its name in the same font: two upright A4 pages
// and an A4 page stored upright but shown turned by 90 degrees.
fs::path SourceFile() {
    static const fs::path path = [] {
        PdfDocument document;
        for (int i = 1; i <= 3; ++i) {
            PdfPage &page = document.AddPage();
            page.SetSize(ZavorPdf::Pdf::PageSize::A4);
            auto gfx = XGraphics::FromPdfPage(&page);
            std::u16string name = u"Page" + std::u16string(1, static_cast<char16_t>(u'0' + i));
            gfx->DrawString(name, XFont(u"Arial", 40), XBrushes::Black(), 100, 150);
            gfx->DrawRectangle(XPens::Black(), 50, 50, 495, 742);
            gfx->Dispose();
            if (i == 3)
                page.SetRotate(90);
        }
        PdfFontTables::PrepareForSave(document);
        fs::path file =
            ZavorTest::PublishOutput("form_source.pdf", [&](const fs::path &path) { document.Save(path); });
        PdfFontTables::Release(&document);
        return file;
    }();
    return path;
}

struct TargetPage : ZavorTest::GraphicsPage {
    ~TargetPage() { PdfFontTables::Release(&document); }
};

std::vector<const ZavorPdf::Pdf::PdfDictionary *> Forms(const PdfDocument &document) {
    std::vector<const ZavorPdf::Pdf::PdfDictionary *> forms;
    for (ZavorPdf::Pdf::PdfReference *reference : document.ReferenceTable().AllReferences())
        if (auto *form = dynamic_cast<const PdfFormXObject *>(reference->Value()))
            forms.push_back(form);
    return forms;
}

int CountOfType(const PdfDocument &document, const std::string &type) {
    int count = 0;
    for (ZavorPdf::Pdf::PdfReference *reference : document.ReferenceTable().AllReferences())
        if (auto *dictionary = dynamic_cast<const ZavorPdf::Pdf::PdfDictionary *>(reference->Value()))
            count += dictionary->Elements().GetName("/Type") == type ? 1 : 0;
    return count;
}

}  // namespace

TEST(PageFormsTest, PageSuffixOfThePath) {
    ZAVOR_SKIP_ON_WINDOWS("expects the path as written, with slashes");
    fs::path source = SourceFile();
    struct Row {
        std::u16string suffix;
        int pageNumber;
    };
    const Row rows[] = {{u"", 1}, {u"#2", 2}, {u"#3", 3}, {u"#007", 7}, {u"#99999999999999", 2147483647}};
    for (const Row &row : rows) {
        XPdfForm form(U16(source) + row.suffix);
        EXPECT_EQ(form.PageNumber(), row.pageNumber);
        EXPECT_EQ(form.PageIndex(), row.pageNumber - 1);
        EXPECT_EQ(form.Path(), U16(source));
        EXPECT_EQ(form.Format(), XImageFormat::Pdf);
    }
    // Without a period the number sign and digits belong to the name.
    fs::path noPeriod = source.parent_path() / "formsource#2";
    if (noPeriod.string().find('.') != std::string::npos)
        GTEST_SKIP() << "the output folder's path has a period";
    fs::copy_file(source, noPeriod, fs::copy_options::overwrite_existing);
    XPdfForm form(U16(noPeriod));
    EXPECT_EQ(form.PageNumber(), 1);
    EXPECT_EQ(form.Path(), U16(noPeriod));
    fs::remove(noPeriod);
}

TEST(PageFormsTest, SizesComeFromTheExternalPage) {
    XPdfForm upright(U16(SourceFile()));
    EXPECT_EQ(upright.PageCount(), 3);
    EXPECT_EQ(upright.PointWidth(), 595);
    EXPECT_EQ(upright.PointHeight(), 842);
    EXPECT_EQ(upright.PixelWidth(), 595);
    EXPECT_EQ(upright.Size(), XSize(595, 842));
    EXPECT_TRUE(upright.IsPageForm());
    XPdfForm turned(U16(SourceFile()) + u"#3");
    EXPECT_EQ(turned.PointWidth(), 842);
    EXPECT_EQ(turned.PointHeight(), 595);
    // Forms of one file share the opened document.
    EXPECT_EQ(&upright.ExternalDocument(), &turned.ExternalDocument());
}

// Names differing only in case are different files here, and must not share
// one opened document; another spelling of the same path does.
TEST(PageFormsTest, FilesAreToldApartByTheirCanonicalPath) {
    ZAVOR_SKIP_ON_WINDOWS("expects the path as written, with slashes");
    fs::path folder = ZavorTest::OutputPath("forms-case");
    fs::create_directories(folder);
    fs::copy_file(SourceFile(), folder / "a.pdf", fs::copy_options::overwrite_existing);
    {
        PdfDocument single;
        single.AddPage().SetSize(ZavorPdf::Pdf::PageSize::A5);
        single.Save(folder / "A.pdf");
    }
    XPdfForm lower(U16(folder / "a.pdf"));
    XPdfForm upper(U16(folder / "A.pdf"));
    XPdfForm respelled(U16(folder / "." / "a.pdf"));
    EXPECT_EQ(lower.PageCount(), 3);
    EXPECT_EQ(upper.PageCount(), 1);
    EXPECT_NE(&lower.ExternalDocument(), &upper.ExternalDocument());
    EXPECT_EQ(&lower.ExternalDocument(), &respelled.ExternalDocument());
}

TEST(PageFormsTest, Failures) {
    ZAVOR_SKIP_ON_WINDOWS("expects the path as written, with slashes");
    using ZavorPdf::ArgumentException;
    fs::path missing = fs::absolute(ZavorTest::OutputPath("no_such_form.pdf"));
    fs::remove(missing);
    ZavorTest::ExpectFailure<ZavorPdf::FileNotFoundException>([&] { XPdfForm form(U16(missing)); },
                                                              "The file '" + missing.string() + "' does not exist.");
    ZavorTest::ExpectFailure<ZavorPdf::FileNotFoundException>(
        [&] { XPdfForm form(U16(missing) + u"#2"); }, "The file '" + missing.string() + "' does not exist.");
    fs::path text = ZavorTest::OutputPath("not_a_form_failures.txt");
    std::ofstream(text) << "just text\n";
    ZavorTest::ExpectFailure<ArgumentException>([&] { XPdfForm form(U16(text)); },
                                                "The specified file has no valid PDF file header.");
    std::istringstream stream("just text");
    ZavorTest::ExpectFailure<ArgumentException>([&] { XPdfForm form(stream); },
                                                "The specified stream has no valid PDF file header.");

    std::string source = SourceFile().string();
    for (const char16_t *suffix : {u"#4", u"#0"}) {
        TargetPage page;
        XPdfForm form(U16(SourceFile()) + suffix);
        std::string number = suffix[1] == u'4' ? "4" : "0";
        ZavorTest::ExpectFailure<ArgumentException>(
            [&] { page.gfx->DrawImage(&form, 0, 0, 100, 100); },
            "The page cannot be imported from document '" + source +
                "', because the page number is out of range. The specified page number is " + number +
                ", but it must be in the range from 1 to 3.");
        EXPECT_EQ(page.Finish(), "");
        EXPECT_TRUE(Forms(page.document).empty());
    }

    XPdfForm disposed(U16(SourceFile()));
    disposed.Dispose();
    TargetPage page;
    ZavorTest::ExpectFailure<ZavorPdf::InvalidOperationException>(
        [&] { page.gfx->DrawImage(&disposed, 0, 0, 100, 100); }, "The image is disposed.");
}

TEST(PageFormsTest, PlacementAndFormObjectAreExact) {
    TargetPage page;
    XPdfForm form(U16(SourceFile()));
    page.gfx->DrawImage(&form, 10, 20, 100, 50);
    EXPECT_EQ(page.Finish(), ZavorTest::kPageStart + "q 0.1681 0 0 -0.0594 10 70 cm 100 Tz /Fm0 Do Q\n" +
                                 ZavorTest::kPageEnd);
    auto forms = Forms(page.document);
    ASSERT_EQ(forms.size(), 1u);
    const auto &elements = forms[0]->Elements();
    EXPECT_EQ(elements.GetName("/Type"), "/XObject");
    EXPECT_EQ(elements.GetName("/Subtype"), "/Form");
    EXPECT_EQ(elements.GetRectangle("/BBox"), ZavorPdf::Pdf::PdfRectangle(0, 0, 595, 842));
    EXPECT_FALSE(elements.ContainsKey("/Matrix"));
    ASSERT_NE(elements.GetReference("/Resources"), nullptr);
    // The page's operators as they were written, with the line feed that
    // joins content streams.
    XPdfForm again(U16(SourceFile()));
    std::vector<std::uint8_t> expected = again.Page().Contents().CreateSingleContent()->Bytes();
    ASSERT_NE(forms[0]->Stream(), nullptr);
    EXPECT_EQ(forms[0]->Stream()->Value(), expected);
    EXPECT_EQ(elements.GetInteger("/Length"), static_cast<int>(expected.size()));
    std::string operators(expected.begin(), expected.end());
    EXPECT_NE(operators.find("(Page1) Tj"), std::string::npos) << operators;
}

TEST(PageFormsTest, OneFormPerPageAndResourcesCopiedOnce) {
    TargetPage page;
    XPdfForm first(U16(SourceFile()));
    XPdfForm same(U16(SourceFile()) + u"#1");
    XPdfForm second(U16(SourceFile()) + u"#2");
    page.gfx->DrawImage(&first, 0, 0, 100, 100);
    page.gfx->DrawImage(&same, 100, 0, 100, 100);
    page.gfx->DrawImage(&first, 200, 0, 100, 100);
    page.gfx->DrawImage(&second, 300, 0, 100, 100);
    std::string content = page.Finish();
    EXPECT_EQ(Forms(page.document).size(), 2u);
    EXPECT_EQ(CountOfType(page.document, "/Font"), 1);
    std::regex placement("/Fm([0-9]) Do");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(content.begin(), content.end(), placement); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    EXPECT_EQ(names, (std::vector<std::string>{"0", "0", "0", "1"}));

    // Another page number drops the form made so far.
    first.SetPageNumber(2);
    EXPECT_EQ(&first.FormFor(page.document), &second.FormFor(page.document));
    EXPECT_EQ(Forms(page.document).size(), 2u);

    // Another document gets a form of its own.
    TargetPage other;
    other.gfx->DrawImage(&first, 0, 0, 100, 100);
    EXPECT_EQ(Forms(other.document).size(), 1u);
    EXPECT_NE(&first.FormFor(other.document), &second.FormFor(page.document));
}

TEST(PageFormsTest, UprightMatrix) {
    using ZavorPdf::Pdf::PdfMatrix;
    using ZavorPdf::Pdf::PdfRectangle;
    struct Row {
        PdfRectangle box;
        int rotate;
        PdfMatrix matrix;
    };
    const Row rows[] = {
        {PdfRectangle(0, 0, 595, 842), 90, {0, -1, 1, 0, 0, 595}},
        {PdfRectangle(0, 0, 842, 595), 90, {0, -1, 1, 0, 0, 842}},
        {PdfRectangle(0, 0, 595, 842), 180, {-1, 0, 0, -1, 595, 842}},
        {PdfRectangle(0, 0, 595, 842), 270, {0, 1, -1, 0, 842, 0}},
        {PdfRectangle(0, 0, 595, 842), -90, {0, 1, -1, 0, 842, 0}},
        {PdfRectangle(0, 0, 595, 842), 450, {0, -1, 1, 0, 0, 595}},
        {PdfRectangle(10, 20, 605, 862), 0, {1, 0, 0, 1, -10, -20}},
        {PdfRectangle(10, 20, 605, 862), 90, {0, -1, 1, 0, -20, 605}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(PdfFormXObject::UprightMatrix(row.box, row.rotate), row.matrix) << row.box.ToString() << " "
                                                                                  << row.rotate;
}

TEST(PageFormsTest, TurnedPageGetsItsMatrix) {
    TargetPage page;
    XPdfForm form(U16(SourceFile()) + u"#3");
    page.gfx->DrawImage(&form, 0, 0, 842, 595);
    page.Finish();
    auto forms = Forms(page.document);
    ASSERT_EQ(forms.size(), 1u);
    const ZavorPdf::Pdf::PdfArray *matrix = forms[0]->Elements().GetArray("/Matrix");
    ASSERT_NE(matrix, nullptr);
    std::vector<double> numbers;
    for (int i = 0; i < matrix->Elements().Count(); ++i)
        numbers.push_back(matrix->Elements().GetReal(i));
    EXPECT_EQ(numbers, (std::vector<double>{0, -1, 1, 0, 0, 595}));
}

TEST(PageFormsTest, PictureFileAndStreamBecomeForms) {
    // Other tests swap the hook for fakes of their own; this one runs with
    // the hook that the library installs.
    XImage::PdfFileHookFunction saved = XImage::PdfFileHook;
    XImage::PdfFileHook = &PdfFileAsPicture;
    std::unique_ptr<XImage> picture = XImage::FromFile(U16(SourceFile()));
    XImage::PdfFileHook = saved;
    ASSERT_NE(dynamic_cast<XPdfForm *>(picture.get()), nullptr);
    EXPECT_EQ(picture->PointWidth(), 595);
    // The hook sees paths as given: a page suffix, missing or other files.
    std::unique_ptr<XImage> second = PdfFileAsPicture(SourceFile().string() + "#2");
    ASSERT_NE(dynamic_cast<XPdfForm *>(second.get()), nullptr);
    EXPECT_EQ(static_cast<XPdfForm &>(*second).PageNumber(), 2);
    fs::path text = ZavorTest::OutputPath("not_a_form_hook.txt");
    std::ofstream(text) << "just text\n";
    for (const fs::path &other : {fs::path(SourceFile().string() + "2"), text, SourceFile().parent_path()})
        EXPECT_EQ(PdfFileAsPicture(other), nullptr) << other;

    std::ifstream file(SourceFile(), std::ios::binary);
    XPdfForm streamed(file);
    EXPECT_EQ(streamed.Path().substr(0, 2), u"*{");
    EXPECT_EQ(streamed.Path().size(), 2u + 36u + 1u);
    EXPECT_EQ(streamed.PageCount(), 3);
    TargetPage page;
    page.gfx->DrawImage(picture.get(), 0, 0, 100, 100);
    page.gfx->DrawImage(&streamed, 0, 0, 100, 100);
    EXPECT_EQ(Forms(page.document).size(), 2u);
}

TEST(PageFormsTest, SavedFormsReadBackInsideTheirBoxes) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    fs::path path = ZavorTest::OutputPath("page_forms.pdf");
    {
        PdfDocument document;
        PdfPage &page = document.AddPage();
        page.SetSize(ZavorPdf::Pdf::PageSize::A4);
        auto gfx = XGraphics::FromPdfPage(&page);
        XPdfForm second(U16(SourceFile()) + u"#2");
        XPdfForm turned(U16(SourceFile()) + u"#3");
        gfx->DrawImage(&second, 50, 50, 297.5, 421);
        gfx->DrawImage(&turned, 50, 500, 421, 297.5);
        gfx->Dispose();
        PdfFontTables::PrepareForSave(document);
        document.Save(path);
        PdfFontTables::Release(&document);
    }
    std::string html = RunCommand("pdftotext -bbox '" + path.string() + "' - 2>&1");
    std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<std::string> texts;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it) {
        double xMin = std::stod((*it)[1]), yMin = std::stod((*it)[2]);
        double xMax = std::stod((*it)[3]), yMax = std::stod((*it)[4]);
        texts.push_back((*it)[5]);
        // Page 2 is drawn at half size: its word starts at 50 + 100/2 and
        // its baseline at 50 + 150/2, the box one descent below. The turned page's content stands
        // upright in the landscape box below.
        if (texts.back() == "Page2") {
            EXPECT_NEAR(xMin, 100, 0.5);
            EXPECT_NEAR(yMax, 125 + 20.0 * 434 / 2048, 0.5);
        } else {
            EXPECT_GE(xMin, 50);
            EXPECT_LE(xMax, 471);
            EXPECT_GE(yMin, 500);
            EXPECT_LE(yMax, 797.5);
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Page2", "Page3"})) << html;
}

TEST(PageFormsTest, FormFreedBySavingIsMadeAgain) {
    TargetPage page;
    XPdfForm form(U16(SourceFile()));
    page.gfx->DrawRectangle(XPens::Black(), 0, 0, 10, 10);
    // Made but never placed: nothing reaches it when the document is saved.
    form.FormFor(page.document);
    page.Finish();
    std::vector<std::uint8_t> bytes;
    page.document.Save(bytes);
    EXPECT_TRUE(Forms(page.document).empty());
    ZavorPdf::Pdf::PdfReference &again = form.FormFor(page.document);
    ASSERT_NE(dynamic_cast<PdfFormXObject *>(again.Value()), nullptr);
    EXPECT_EQ(Forms(page.document).size(), 1u);
}
