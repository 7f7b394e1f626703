// Link and text annotations with their exact dictionaries, the page's
// annotation array, and links that survive encryption.
#include <cmath>
#include <map>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_annotations.h"
#include "pdf/pdf_date.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_link_annotation.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_text_annotation.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

std::map<int, std::string> Objects(const std::string &file) {
    std::map<int, std::string> objects;
    std::regex object(R"((\d+) 0 obj\n([\s\S]*?)endobj\n)");
    for (auto it = std::sregex_iterator(file.begin(), file.end(), object); it != std::sregex_iterator(); ++it)
        objects[std::stoi((*it)[1])] = (*it)[2];
    return objects;
}

// "/NM(...)" holds a random name: it is checked for its form and cut out.
std::string WithoutName(const std::string &text) {
    std::regex name(R"(/NM\([0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\)\n)");
    EXPECT_TRUE(std::regex_search(text, name)) << text;
    return std::regex_replace(text, name, "");
}

const std::string Date = "/M(D:20240131120000+01'00')\n";

TEST(Annotations, LinkDictionaries) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    ZavorTest::FixedClock clock;
    PdfDocument document;
    PdfPage &page = document.AddPage();
    document.AddPage();
    document.AddPage();
    PdfRectangle box(10, 632, 410, 832);
    page.AddDocumentLink(box, 7);
    page.AddDocumentLink(box, 0);
    page.AddWebLink(box, u"https://example.com/a(b)\u00E9");
    page.AddFileLink(box, u"C:\\Daten\\x.pdf");
    auto path = ZavorTest::OutputPath("annotations_links.pdf");
    document.Save(path);
    auto objects = Objects(ZavorTest::ReadFileText(path));
    // 1 info, 2 catalog, 3 pages, 4-6 pages, 7-10 links.
    EXPECT_NE(objects[4].find("/Annots[7 0 R 8 0 R 9 0 R 10 0 R]\n"), std::string::npos) << objects[4];
    const std::string head = "<<\n/Type/Annot\n" + Date + "/Subtype/Link\n/Rect[10 632 410 832]\n"
                             "/BS <</Type/Border/W 0>>\n/Border [0 0 0]\n";
    // Page 7 of three is the third page, page 0 the first.
    EXPECT_EQ(WithoutName(objects[7]), head + "/Dest [6 0 R/XYZ null null 0]\n>>\n");
    EXPECT_EQ(WithoutName(objects[8]), head + "/Dest [4 0 R/XYZ null null 0]\n>>\n");
    EXPECT_EQ(WithoutName(objects[9]), head + "/A <</S/URI/URI(https://example.com/a\\(b\\)\xE9)>>\n>>\n");
    EXPECT_EQ(WithoutName(objects[10]),
              head + "/A <</Type/Action/S/Launch/F<</Type/Filespec/F(C:\\\\Daten\\\\x.pdf)>> >>\n>>\n");

    std::string qdf = ZavorTest::RunCommand("qpdf --qdf --object-streams=disable '" + path.string() + "' - 2>&1");
    EXPECT_NE(qdf.find("/URI (https://example.com/a\\(b\\)\xE9)"), std::string::npos) << qdf;
    EXPECT_NE(qdf.find("/F (C:\\\\Daten\\\\x.pdf)"), std::string::npos) << qdf;
}

TEST(Annotations, TextAnnotationAndItsProperties) {
    ZavorTest::FixedClock clock;
    PdfDocument document;
    PdfPage &page = document.AddPage();
    auto note = std::make_unique<PdfTextAnnotation>();
    EXPECT_EQ(note->Icon(), PdfTextAnnotationIcon::Comment);
    note->SetTitle(u"Titel");
    note->SetSubject(u"Betreff");
    note->SetContents(u"Zeile 1\nZeile 2 \u20AC");
    note->SetColor(PdfRgbColor(255, 0, 0));
    note->SetRectangle(PdfRectangle(10, 622, 420, 832));
    PdfAnnotation &added = page.Annotations().Add(std::move(note));
    EXPECT_EQ(added.Color(), PdfRgbColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(added.Opacity(), 1.0);
    auto objects = Objects(ZavorTest::SaveToString(document));
    EXPECT_EQ(WithoutName(objects[5]),
              "<<\n/Type/Annot\n" + Date +
                  "/Subtype/Text\n/Name/Comment\n/T(Titel)\n/Subj(Betreff)\n"
                  "/Contents<FEFF005A00650069006C006500200031000A005A00650069006C0065002000320020"
                  "20AC>\n/C[1 0 0]\n/Rect[10 622 420 832]\n>>\n");
}

TEST(Annotations, IconsByName) {
    struct Row {
        int icon;
        const char *name;  // null: no /Name
    };
    for (const Row &row : std::vector<Row>{{0, nullptr},
                                           {1, "/Comment"},
                                           {2, "/Help"},
                                           {3, "/Insert"},
                                           {4, "/Key"},
                                           {5, "/NewParagraph"},
                                           {6, "/Note"},
                                           {7, "/Paragraph"},
                                           {8, nullptr},
                                           {-1, nullptr}}) {
        PdfTextAnnotation note;
        note.SetIcon(static_cast<PdfTextAnnotationIcon>(row.icon));
        if (row.name) {
            EXPECT_EQ(note.Elements().GetName("/Name"), row.name);
            EXPECT_EQ(static_cast<int>(note.Icon()), row.icon);
        } else {
            EXPECT_FALSE(note.Elements().ContainsKey("/Name")) << row.icon;
            EXPECT_EQ(note.Icon(), PdfTextAnnotationIcon::NoIcon);
        }
    }
}

TEST(Annotations, ColourAndOpacityReadBack) {
    PdfTextAnnotation note;
    for (int v : {0, 1, 127, 128, 200, 254, 255}) {
        note.SetColor(PdfRgbColor(static_cast<std::uint8_t>(v), 0, static_cast<std::uint8_t>(255 - v)));
        EXPECT_EQ(note.Color(), PdfRgbColor(static_cast<std::uint8_t>(v), 0, static_cast<std::uint8_t>(255 - v)));
    }
    note.Elements().SetName("/C", "/Red");
    EXPECT_EQ(note.Color(), PdfRgbColor(0, 0, 0));
    note.SetOpacity(0.25);
    EXPECT_DOUBLE_EQ(note.Opacity(), 0.25);
    for (double bad : {-0.1, 1.5, std::nan("")}) {
        try {
            note.SetOpacity(bad);
            ADD_FAILURE() << bad;
        } catch (const ArgumentOutOfRangeException &e) {
            EXPECT_EQ(std::string(e.what()), "Opacity must be a value in the range from 0 to 1.");
            EXPECT_EQ(e.ParamName(), "value");
        }
    }
    EXPECT_DOUBLE_EQ(note.Opacity(), 0.25);
}

TEST(Annotations, NamesAreUniqueAndSettersRenewTheTime) {
    PdfTextAnnotation a;
    PdfTextAnnotation b;
    EXPECT_NE(a.Elements().GetString("/NM"), b.Elements().GetString("/NM"));
    EXPECT_EQ(a.Elements().GetString("/NM").size(), 36u);
    {
        ZavorTest::FixedClock clock;
        a.SetContents(u"x");
    }
    EXPECT_EQ(a.Elements().GetDateTime("/M", {}), ZavorTest::FixedClock::Time());
}

TEST(Annotations, RemoveAndClear) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    PdfAnnotations &annotations = page.Annotations();
    PdfAnnotation &first = annotations.Add(std::make_unique<PdfTextAnnotation>());
    annotations.Add(std::make_unique<PdfTextAnnotation>());
    PdfAnnotation &third = annotations.Add(std::make_unique<PdfTextAnnotation>());
    PdfObjectID firstID = first.ObjectID();
    annotations.Remove(first);
    EXPECT_EQ(annotations.Count(), 2);
    EXPECT_FALSE(document.ReferenceTable().Contains(firstID));
    EXPECT_EQ(&annotations[1], &third);

    PdfDocument other;
    PdfAnnotation &foreign = other.AddPage().Annotations().Add(std::make_unique<PdfTextAnnotation>());
    try {
        annotations.Remove(foreign);
        ADD_FAILURE();
    } catch (const InvalidOperationException &e) {
        EXPECT_EQ(std::string(e.what()), "The annotation does not belong to this document.");
    }
    try {
        annotations.Add(nullptr);
        ADD_FAILURE();
    } catch (const ArgumentNullException &e) {
        EXPECT_EQ(e.ParamName(), "annotation");
    }
    annotations.Clear();
    EXPECT_EQ(annotations.Count(), 0);
    std::string file = ZavorTest::SaveToString(document);
    EXPECT_NE(file.find("/Annots[]"), std::string::npos);
    EXPECT_EQ(file.find("/Annot\n"), std::string::npos);
}

TEST(Annotations, PlainDictionaryBecomesGenericAnnotation) {
    PdfDocument document;
    PdfPage &page = document.AddPage();
    auto plain = std::make_unique<PdfDictionary>();
    plain->Elements().SetName("/Subtype", "/Square");
    plain->Elements().SetString("/T", u"alt");
    PdfReference *reference = document.ReferenceTable().Add(std::move(plain));
    page.Annotations().Elements().AddReference(reference);
    PdfAnnotation &wrapped = page.Annotations()[0];
    EXPECT_NE(dynamic_cast<PdfGenericAnnotation *>(&wrapped), nullptr);
    EXPECT_EQ(wrapped.Title(), u"alt");
    EXPECT_EQ(reference->Value(), &wrapped);
}

TEST(Annotations, EncryptedWebLinkOpensWithTheKeyOfItsObject) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    PdfDocument document;
    PdfPage &page = document.AddPage();
    page.AddWebLink(PdfRectangle(0, 0, 100, 100), u"https://example.com/geheim");
    PdfTextAnnotation &note =
        static_cast<PdfTextAnnotation &>(page.Annotations().Add(std::make_unique<PdfTextAnnotation>()));
    note.SetContents(u"vertraulich");
    note.SetRectangle(PdfRectangle(0, 0, 10, 10));
    document.SecuritySettings().SetUserPassword(u"pw");
    auto path = ZavorTest::OutputPath("annotations_encrypted.pw-pw.pdf");
    document.Save(path);
    std::string file = ZavorTest::ReadFileText(path);
    EXPECT_EQ(file.find("example.com"), std::string::npos);
    EXPECT_EQ(file.find("vertraulich"), std::string::npos);
    std::string plain = ZavorTest::RunCommand("qpdf --password=pw --decrypt --qdf --object-streams=disable '" +
                                              path.string() + "' - 2>&1");
    EXPECT_NE(plain.find("/URI (https://example.com/geheim)"), std::string::npos) << plain;
    EXPECT_NE(plain.find("/Contents (vertraulich)"), std::string::npos) << plain;
}

}  // namespace
}  // namespace ZavorPdf::Pdf
