// Pages and the page tree: sizes, orientation, rotation, boxes, the order of
// pages and the refusals with their exact messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"
#include "support/scoped_environment.h"

namespace ZavorPdf::Pdf {
namespace {

using namespace ZavorTest;


template <class Exception, class Call>
void ExpectFailure(Call call, const std::string &message, const std::string &parameter = {}) {
    try {
        call();
        ADD_FAILURE() << "no exception; expected: " << message;
    } catch (const Exception &error) {
        EXPECT_EQ(error.what(), message);
        if constexpr (std::is_base_of_v<ArgumentException, Exception>) {
            EXPECT_EQ(error.ParamName(), parameter);
        }
    }
}

TEST(PageTree, CountFollowsEveryChange) {
    PdfDocument document;
    EXPECT_EQ(document.PageCount(), 0);
    PdfPage &first = document.AddPage();
    PdfPage &second = document.AddPage();
    EXPECT_EQ(document.PageCount(), 2);
    EXPECT_EQ(document.Pages().Elements().GetInteger("/Count"), 2);
    PdfPage &inserted = document.InsertPage(1);
    EXPECT_EQ(&document.Pages()[0], &first);
    EXPECT_EQ(&document.Pages()[1], &inserted);
    EXPECT_EQ(&document.Pages()[2], &second);
    document.Pages().MovePage(2, 0);
    EXPECT_EQ(&document.Pages()[0], &second);
    EXPECT_EQ(&document.Pages()[1], &first);
    document.Pages().Remove(first);
    document.Pages().RemoveAt(0);
    EXPECT_EQ(document.PageCount(), 1);
    EXPECT_EQ(document.Pages().Elements().GetInteger("/Count"), 1);
    EXPECT_EQ(&document.Pages()[0], &inserted);
    // A removed page of the document may come back.
    document.AddPage(first);
    EXPECT_EQ(&document.Pages()[1], &first);
}

TEST(PageTree, RefusalsNameTheirArgument) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    PdfPages &pages = document.Pages();
    const std::string outOfRange = "The index of a page is out of range.";
    ExpectFailure<ArgumentOutOfRangeException>([&] { pages[1]; }, outOfRange, "index");
    ExpectFailure<ArgumentOutOfRangeException>([&] { pages[-1]; }, outOfRange, "index");
    ExpectFailure<ArgumentOutOfRangeException>([&] { pages.Insert(2); }, outOfRange, "index");
    ExpectFailure<ArgumentOutOfRangeException>([&] { pages.MovePage(1, 0); }, outOfRange, "oldIndex");
    ExpectFailure<ArgumentOutOfRangeException>([&] { pages.MovePage(0, 3); }, outOfRange, "newIndex");
    ExpectFailure<InvalidOperationException>(
        [&] { document.AddPage(page); },
        "The page cannot be added to this document because the document already owned this page.");
    ExpectFailure<ArgumentNullException>([&] { document.AddPage(std::unique_ptr<PdfPage>()); },
                                         "Value cannot be null. (Parameter 'page')", "page");
    EXPECT_EQ(document.PageCount(), 1);
}

TEST(PageTree, NewPagesFollowTheLocaleMeasurementSystem) {
    ZAVOR_SKIP_ON_WINDOWS("locales come from the environment (Windows reads the regional settings)");
    ScopedEnvironment all("LC_ALL", nullptr);
    ScopedEnvironment lang("LANG", nullptr);
    {
        ScopedEnvironment measurement("LC_MEASUREMENT", "en_US.UTF-8");
        PdfDocument document;
        EXPECT_EQ(document.AddPage().Size(), PageSize::Letter);
        EXPECT_EQ(PdfPage().MediaBox().ToString(), "[0 0 612 792]");
    }
    {
        ScopedEnvironment measurement("LC_MEASUREMENT", nullptr);
        PdfDocument document;
        EXPECT_EQ(document.AddPage().Size(), PageSize::A4);
        EXPECT_EQ(PdfPage().MediaBox().ToString(), "[0 0 595 842]");
    }
}

struct ResizeCase {
    const char *name;
    PageOrientation orientation;
    bool setWidth;  // else the height
    double value;
    const char *box;
    double width;
    double height;
};

TEST(PageTree, FreeWidthAndHeightFollowTheOrientation) {
    const ResizeCase cases[] = {
        {"portrait width", PageOrientation::Portrait, true, 300, "[0 0 300 842]", 300, 842},
        {"portrait height", PageOrientation::Portrait, false, 200, "[0 0 595 200]", 595, 200},
        {"landscape width", PageOrientation::Landscape, true, 300, "[0 0 595 300]", 300, 595},
        {"landscape height", PageOrientation::Landscape, false, 200, "[0 0 200 842]", 842, 200},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        PdfPage page(PageSize::A4);
        page.SetOrientation(row.orientation);
        if (row.setWidth)
            page.SetWidth(row.value);
        else
            page.SetHeight(row.value);
        EXPECT_EQ(page.MediaBox().ToString(), row.box);
        EXPECT_EQ(page.Width(), row.width);
        EXPECT_EQ(page.Height(), row.height);
        EXPECT_EQ(page.Size(), PageSize::Undefined);
    }
}

TEST(PageTree, SizeMustBeAPageSizeMember) {
    PdfPage page(PageSize::A4);
    ExpectFailure<ArgumentException>([&] { page.SetSize(static_cast<PageSize>(99)); },
                                     "The value of argument 'value' (99) is invalid for Enum type 'PageSize'.",
                                     "value");
    ExpectFailure<ArgumentException>([&] { page.SetSize(PageSize::Undefined); }, "Invalid PageSize.", "value");
    EXPECT_EQ(page.Size(), PageSize::A4);
    EXPECT_EQ(page.MediaBox().ToString(), "[0 0 595 842]");
}

TEST(PageTree, RotateAcceptsMultiplesOfNinetyOnly) {
    PdfPage page(PageSize::A4);
    for (int accepted : {0, 90, 180, 270, -90, 360}) {
        page.SetRotate(accepted);
        EXPECT_EQ(page.Rotate(), accepted);
    }
    for (int refused : {45, 1, -30, 100}) {
        ExpectFailure<ArgumentException>([&] { page.SetRotate(refused); }, "Value must be a multiple of 90.",
                                         "value");
    }
    EXPECT_EQ(page.Rotate(), 360);
}

TEST(PageTree, PagesReadWithOddQuarterTurnsAreLandscape) {
    const std::pair<int, PageOrientation> cases[] = {{90, PageOrientation::Landscape},
                                                     {270, PageOrientation::Landscape},
                                                     {-90, PageOrientation::Landscape},
                                                     {180, PageOrientation::Portrait},
                                                     {0, PageOrientation::Portrait}};
    for (auto [rotate, orientation] : cases) {
        PdfDictionary read;
        read.Elements().SetName("/Type", "/Page");
        read.Elements().SetInteger("/Rotate", rotate);
        PdfPage page(std::move(read));
        EXPECT_EQ(page.Orientation(), orientation) << rotate;
    }
}

TEST(PageTree, LandscapeMediaBoxIsTurnedOnlyInTheFile) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    page.SetSize(PageSize::A4);
    page.SetOrientation(PageOrientation::Landscape);
    EXPECT_EQ(page.Width(), 842);
    EXPECT_EQ(page.Height(), 595);
    std::string written = SaveToString(document);
    EXPECT_NE(written.find("/MediaBox[0 0 842 595]\n"), std::string::npos);
    EXPECT_EQ(page.MediaBox().ToString(), "[0 0 595 842]");
}

TEST(PageTree, PdfinfoReportsTheSizesThatWereSet) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    PdfDocument document;
    document.AddPage().SetSize(PageSize::A4);
    PdfPage &landscape = document.AddPage();
    landscape.SetSize(PageSize::A4);
    landscape.SetOrientation(PageOrientation::Landscape);
    PdfPage &free = document.AddPage();
    free.SetWidth(300);
    free.SetHeight(200);
    auto path = OutputPath("page_sizes.pdf");
    document.Save(path);
    EXPECT_EQ(PdfInfoPageSizes(path, 3), (std::vector<std::string>{"595 x 842", "842 x 595", "300 x 200"}));
}

TEST(PageTree, BoxesRotationAndTransparencyGroupAreWritten) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    PdfDocument document;
    document.Options().SetColorMode(PdfColorMode::Cmyk);
    PdfPage &page = document.AddPage();
    page.SetSize(PageSize::A5);
    page.SetRotate(90);
    page.SetCropBox(PdfRectangle(10, 10, 410, 585));
    page.SetBleedBox(PdfRectangle(5, 5, 415, 590));
    page.SetTrimBox(PdfRectangle(12.5, 12.5, 407.5, 582.5));
    page.SetArtBox(PdfRectangle(20, 20, 400, 575));
    EXPECT_TRUE(document.AddPage().ArtBox().IsEmpty());
    std::string written = SaveToString(document);
    EXPECT_NE(written.find("4 0 obj\n<<\n/Type/Page\n/MediaBox[0 0 420 595]\n/Parent 3 0 R\n/Rotate 90\n"
                           "/CropBox[10 10 410 585]\n/BleedBox[5 5 415 590]\n/TrimBox[12.5 12.5 407.5 582.5]\n"
                           "/ArtBox[20 20 400 575]\n/Group\n<<\n/CS/DeviceCMYK\n"),
              std::string::npos)
        << written;
    document.Save(OutputPath("page_boxes.pdf"));
    auto info = CollapseBlanks(RunCommand("pdfinfo -box '" + OutputPath("page_boxes.pdf").string() + "'"));
    EXPECT_NE(info.find("Page rot: 90\n"), std::string::npos) << info;
    EXPECT_NE(info.find("MediaBox: 0.00 0.00 420.00 595.00\n"), std::string::npos) << info;
    EXPECT_NE(info.find("TrimBox: 12.50 12.50 407.50 582.50\n"), std::string::npos) << info;
}

TEST(PageTree, TrimMarginsGrowThePageOnceAndMarkTheTrimBox) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    PdfDocument document;
    document.Settings().SetDefaultTrimMargins({10, 20, 30, 40});
    PdfPage &page = document.AddPage();
    page.SetSize(PageSize::A5);
    PdfPage &landscape = document.AddPage();
    landscape.SetSize(PageSize::A5);
    landscape.SetOrientation(PageOrientation::Landscape);
    std::string first = SaveToString(document);
    EXPECT_EQ(page.MediaBox().ToString(), "[0 0 460 655]");
    EXPECT_EQ(page.TrimBox().ToString(), "[10 20 430 615]");
    EXPECT_EQ(page.CropBox().ToString(), "[0 0 460 655]");
    EXPECT_EQ(landscape.Width(), 635);
    EXPECT_EQ(landscape.Height(), 480);
    EXPECT_EQ(landscape.CropBox().ToString(), "[0 0 635 480]");
    EXPECT_EQ(SaveToString(document), first) << "a second save must not add the margins again";
    auto path = OutputPath("page_trim_margins.pdf");
    document.Save(path);
    EXPECT_EQ(PdfInfoPageSizes(path, 2), (std::vector<std::string>{"460 x 655", "635 x 480"}));
}

TEST(PageTree, PlainKidDictionariesBecomePages) {
    PdfDocument document;
    document.AddPage();
    auto plain = std::make_unique<PdfDictionary>(&document);
    plain->Elements().SetName("/Type", "/Page");
    plain->Elements().SetRectangle("/MediaBox", PdfRectangle(0, 0, 100, 50));
    PdfReference *reference = document.ReferenceTable().Add(std::move(plain));
    document.Pages().Elements().GetArray("/Kids")->Elements().AddReference(reference);
    PdfPage &page = document.Pages()[1];
    EXPECT_EQ(reference->Value(), &page);
    EXPECT_EQ(page.Width(), 100);
}

TEST(PageTree, FlatteningHandsInheritedEntriesDown) {
    PdfDocument document;
    PdfPages &root = document.Pages();
    PdfReferenceTable &table = document.ReferenceTable();
    auto makeNode = [&](PdfDictionary &parent) -> PdfDictionary & {
        auto node = std::make_unique<PdfDictionary>(&document);
        node->Elements().SetName("/Type", "/Pages");
        node->Elements().SetValue("/Kids", std::make_unique<PdfArray>(&document));
        PdfDictionary &added = *node;
        PdfReference *reference = table.Add(std::move(node));
        parent.Elements().GetValue<PdfArray>("/Kids", VCF::Create)->Elements().AddReference(reference);
        return added;
    };
    auto makeLeaf = [&](PdfDictionary &parent) -> PdfDictionary & {
        auto leaf = std::make_unique<PdfDictionary>(&document);
        leaf->Elements().SetName("/Type", "/Page");
        PdfDictionary &added = *leaf;
        PdfReference *reference = table.Add(std::move(leaf));
        parent.Elements().GetArray("/Kids")->Elements().AddReference(reference);
        return added;
    };
    PdfDictionary &outer = makeNode(root);
    outer.Elements().SetRectangle("/MediaBox", PdfRectangle(0, 0, 200, 300));
    auto resources = std::make_unique<PdfDictionary>(&document);
    resources->Elements().SetName("/ProcSet", "/PDF");
    outer.Elements().SetObject("/Resources", std::move(resources));
    PdfDictionary &inner = makeNode(outer);
    inner.Elements().SetInteger("/Rotate", 90);
    PdfDictionary &a = makeLeaf(inner);
    PdfDictionary &b = makeLeaf(outer);
    b.Elements().SetRectangle("/MediaBox", PdfRectangle(0, 0, 10, 20));
    auto own = std::make_unique<PdfDictionary>(&document);
    own->Elements().SetName("/Own", "/Yes");
    b.Elements().SetObject("/Resources", std::move(own));

    root.FlattenPageTree();
    ASSERT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Elements().GetInteger("/Count"), 2);
    PdfPage &first = root[0];
    PdfPage &second = root[1];
    EXPECT_EQ(first.MediaBox().ToString(), "[0 0 200 300]");
    EXPECT_EQ(first.Rotate(), 90);
    EXPECT_EQ(first.Orientation(), PageOrientation::Landscape);
    EXPECT_EQ(first.Elements().GetDictionary("/Resources")->Elements().GetName("/ProcSet"), "/PDF");
    EXPECT_EQ(second.MediaBox().ToString(), "[0 0 10 20]");
    EXPECT_EQ(second.Rotate(), 0);
    EXPECT_EQ(second.Elements().GetDictionary("/Resources")->Elements().GetName("/ProcSet"), "/PDF");
    EXPECT_EQ(second.Elements().GetDictionary("/Resources")->Elements().GetName("/Own"), "/Yes");
    for (PdfPage *page : {&first, &second})
        EXPECT_EQ(page->Elements().GetReference("/Parent"), root.Reference());
    (void)a;
}

}  // namespace
}  // namespace ZavorPdf::Pdf
