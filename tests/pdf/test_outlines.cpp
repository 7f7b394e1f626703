// Bookmark trees as written: links between items, counts, destinations,
// style and colour, the catalog's page mode, and the refusals of Add.
#include <map>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_outline_collection.h"
#include "pdf/pdf_page.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

// The text of each object of a saved file, by object number.
std::map<int, std::string> Objects(const std::string &file) {
    std::map<int, std::string> objects;
    std::regex object(R"((\d+) 0 obj\n([\s\S]*?)endobj\n)");
    for (auto it = std::sregex_iterator(file.begin(), file.end(), object); it != std::sregex_iterator(); ++it)
        objects[std::stoi((*it)[1])] = (*it)[2];
    return objects;
}

// The object whose "/Title" is the given text.
std::string Outline(const std::map<int, std::string> &objects, const std::string &title, int *number = nullptr) {
    for (const auto &[n, text] : objects)
        if (text.find("/Title(" + title + ")") != std::string::npos) {
            if (number) *number = n;
            return text;
        }
    ADD_FAILURE() << "no outline " << title;
    return {};
}

int NumberOf(const std::map<int, std::string> &objects, const std::string &title) {
    int number = 0;
    Outline(objects, title, &number);
    return number;
}

std::string Ref(int number) { return std::to_string(number) + " 0 R"; }

TEST(Outlines, OneClosedBookmark) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    document.Outlines().Add(u"Kapitel", &page, false);
    auto objects = Objects(ZavorTest::SaveToString(document));
    // Objects: 1 info, 2 catalog, 3 pages, 4 page, 5 root, 6 item.
    EXPECT_EQ(objects[2], "<<\n/Type/Catalog\n/Pages 3 0 R\n/Outlines 5 0 R\n/PageMode/UseOutlines\n>>\n");
    EXPECT_EQ(objects[5], "<<\n/First 6 0 R\n/Last 6 0 R\n>>\n");
    EXPECT_EQ(objects[6], "<<\n/Title(Kapitel)\n/Parent 5 0 R\n/Dest[4 0 R /XYZ null null 0]\n>>\n");
}

TEST(Outlines, CountsLinksAndOrder) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    PdfDocument document;
    PdfPage &first = document.AddPage();
    PdfPage &second = document.AddPage();
    PdfOutline &a = document.Outlines().Add(u"A", &first, true);
    PdfOutline &b = document.Outlines().Add(u"B", &second, true);
    PdfOutline &c = document.Outlines().Add(u"C", &second, false);
    c.Outlines().Add(u"C1", &first, true);
    b.Outlines().Add(u"B1", &first, false);
    b.Outlines().Add(u"B2", &second, true);
    EXPECT_EQ(document.Outlines().Count(), 3);
    EXPECT_EQ(document.Outlines().IndexOf(b), 1);
    EXPECT_EQ(a.Outlines().IndexOf(b), -1);
    EXPECT_EQ(&document.Outlines()[2], &c);
    EXPECT_EQ(b.Parent(), c.Outlines()[0].Parent()->Parent());

    auto path = ZavorTest::OutputPath("outlines_tree.pdf");
    document.Save(path);
    auto objects = Objects(ZavorTest::ReadFileText(path));
    int na = NumberOf(objects, "A"), nb = NumberOf(objects, "B"), nc = NumberOf(objects, "C");
    int nb1 = NumberOf(objects, "B1"), nb2 = NumberOf(objects, "B2"), nc1 = NumberOf(objects, "C1");
    std::string root = objects[na - 1];
    EXPECT_EQ(root, "<<\n/First " + Ref(na) + "\n/Last " + Ref(nc) + "\n/Count 4\n>>\n");
    EXPECT_EQ(Outline(objects, "A"),
              "<<\n/Title(A)\n/Parent " + Ref(na - 1) + "\n/Dest[4 0 R /XYZ null null 0]\n/Next " + Ref(nb) + "\n>>\n");
    std::string bText = Outline(objects, "B");
    EXPECT_NE(bText.find("/Prev " + Ref(na) + "\n/Next " + Ref(nc) + "\n/First " + Ref(nb1) + "\n/Last " + Ref(nb2) +
                         "\n/Count 1\n"),
              std::string::npos)
        << bText;
    // A closed item with one opened child.
    std::string cText = Outline(objects, "C");
    EXPECT_NE(cText.find("/Prev " + Ref(nb) + "\n/First " + Ref(nc1) + "\n/Last " + Ref(nc1) + "\n/Count -1\n"),
              std::string::npos)
        << cText;
    EXPECT_EQ(cText.find("/Next"), std::string::npos);
    std::string b1 = Outline(objects, "B1");
    EXPECT_NE(b1.find("/Parent " + Ref(nb) + "\n"), std::string::npos);
    EXPECT_NE(b1.find("/Next " + Ref(nb2)), std::string::npos);
    EXPECT_EQ(b1.find("/Count"), std::string::npos);

    std::string json = ZavorTest::RunCommand("qpdf --json --json-key=outlines '" + path.string() + "' 2>&1");
    std::regex titles(R"re("title": "([^"]*)")re");
    std::string order;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), titles); it != std::sregex_iterator(); ++it)
        order += (*it)[1].str() + " ";
    // qpdf lists an item's kids before its title.
    EXPECT_EQ(order, "A B1 B2 B C1 C ") << json;
}

TEST(Outlines, StyleColourAndTitleEncoding) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    document.Outlines().Add(u"Rot \u00C4", &page, true, PdfOutlineStyle::Italic, PdfRgbColor(255, 0, 128));
    document.Outlines().Add(u"\u20AC", &page, true, PdfOutlineStyle::Regular);
    document.Outlines().Add(u"\u03A9", &page);
    auto objects = Objects(ZavorTest::SaveToString(document));
    std::string red = objects[6];
    EXPECT_NE(red.find("/Title(Rot \xC4)\n/F 1\n"), std::string::npos) << red;
    EXPECT_NE(red.find("/C [1 0 0.502]\n"), std::string::npos) << red;
    // The euro sign has its PDFDocEncoding byte; Omega needs UTF-16.
    EXPECT_NE(objects[7].find("/Title(\xA0)\n/F 0\n"), std::string::npos) << objects[7];
    EXPECT_EQ(objects[7].find("/C"), std::string::npos);
    EXPECT_NE(objects[8].find("/Title<FEFF03A9>\n"), std::string::npos) << objects[8];
    EXPECT_EQ(objects[8].find("/F "), std::string::npos);
}

TEST(Outlines, ColourNeedsVersionOnePointFour) {
    PdfDocument document;
    document.SetVersion(13);
    PdfPage &page = document.AddPage();
    document.Outlines().Add(u"X", &page, true, PdfOutlineStyle::Bold, PdfRgbColor(0, 0, 255));
    std::string file = ZavorTest::SaveToString(document);
    EXPECT_EQ(file.find("/C["), std::string::npos);
    EXPECT_NE(file.find("/F 2"), std::string::npos);
}

TEST(Outlines, PageModeOnlyWithBookmarks) {
    PdfDocument plain;
    plain.AddPage();
    plain.Outlines();  // a root without children
    std::string file = ZavorTest::SaveToString(plain);
    EXPECT_EQ(file.find("/PageMode"), std::string::npos);

    PdfDocument thumbs;
    PdfPage &page = thumbs.AddPage();
    thumbs.SetPageMode(PdfPageMode::UseThumbs);
    thumbs.Outlines().Add(u"T", &page);
    EXPECT_NE(ZavorTest::SaveToString(thumbs).find("/PageMode/UseThumbs"), std::string::npos);
}

TEST(Outlines, EmptyRootStaysAValidObject) {
    // The catalog keeps referring to the root; it is written empty rather
    // than left out, so the reference never dangles.
    PdfDocument document;
    document.AddPage();
    document.Outlines();
    auto path = ZavorTest::OutputPath("outlines_empty_root.pdf");
    document.Save(path);
    auto objects = Objects(ZavorTest::ReadFileText(path));
    EXPECT_EQ(objects[2], "<<\n/Type/Catalog\n/Pages 3 0 R\n/Outlines 5 0 R\n>>\n");
    EXPECT_EQ(objects[5], "<<\n>>\n");
}

TEST(Outlines, RefusedAddsChangeNothing) {
    PdfDocument document;
    PdfDocument other;
    PdfPage &foreign = other.AddPage();
    PdfPage &page = document.AddPage();
    PdfOutline &parent = document.Outlines().Add(u"P", &page, false);
    try {
        parent.Outlines().Add(u"X", &foreign, true);
        ADD_FAILURE();
    } catch (const ArgumentException &e) {
        EXPECT_EQ(std::string(e.what()), "Destination page must belong to this document.");
    }
    try {
        parent.Outlines().Add(std::unique_ptr<PdfOutline>());
        ADD_FAILURE();
    } catch (const ArgumentNullException &e) {
        EXPECT_EQ(e.ParamName(), "outline");
    }
    try {
        document.Outlines()[1];
        ADD_FAILURE();
    } catch (const ArgumentOutOfRangeException &e) {
        EXPECT_EQ(std::string(e.what()), "The index of an outline is out of range.");
        EXPECT_EQ(e.ParamName(), "index");
    }
    EXPECT_EQ(parent.Outlines().Count(), 0);
    EXPECT_EQ(parent.OpenCount(), 0);
    EXPECT_EQ(document.Catalog().Outlines().OpenCount(), 0);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
