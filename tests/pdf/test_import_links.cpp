// Destinations of links on imported pages, one form per row: what a file
// can hold in place of a plain "[page /Fit]", and what becomes of it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "io/pdf_text.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_page_import.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::IO::PdfReader;

struct Row {
    const char *name;
    const char *entries;   // of the link annotation, after "/NM (name)"
    const char *expected;  // "page kind parameters" of the copy, "-" when left out
};

// Objects 3, 5 and 6 are the pages; 4 is an action and 7 a number that
// several links share; 8 is an action followed by itself twice, by one
// leading to page 3 and by one opening a web page. Pages 1 and 2 are imported, page 3 is not.
constexpr Row Rows[] = {
    {"explicit", "/Subtype /Link /Dest [5 0 R /FitV 30]", "2 /FitV 30"},
    {"to itself", "/Subtype /Link /Dest [3 0 R /Fit]", "1 /Fit"},
    {"page index", "/Subtype /Link /Dest [1 /FitBV 30]", "2 /FitBV 30"},
    {"left behind", "/Subtype /Link /Dest [6 0 R /Fit]", "-"},
    {"no page", "/Subtype /Link /Dest [99 0 R /Fit]", "-"},
    {"unknown kind", "/Subtype /Link /Dest [5 0 R /Zoom]", "-"},
    {"zoom rectangle with a hole", "/Subtype /Link /Dest [5 0 R /FitR 0 0 10]", "-"},
    {"missing and odd parameters", "/Subtype /Link /Dest [5 0 R /XYZ 10 (x)]", "2 /XYZ 10 null null"},
    {"extra parameters", "/Subtype /Link /Dest [5 0 R /Fit 1 2 3]", "2 /Fit"},
    {"indirect parameter", "/Subtype /Link /Dest [5 0 R /FitH 7 0 R]", "2 /FitH 72"},
    {"shared action", "/Subtype /Link /A 4 0 R", "2 /FitB"},
    {"shared action again", "/Subtype /Link /A 4 0 R", "2 /FitB"},
    {"string in the dictionary", "/Subtype /Link /A << /S /GoTo /D (chapter) >>", "2 /FitBH 5"},
    {"name in the tree", "/Subtype /Link /Dest /shallow", "2 /Fit"},
    {"too deep in the tree", "/Subtype /Link /Dest (deep)", "-"},
    {"chained actions", "/Subtype /Link /A 8 0 R", "2 /Fit"},
    {"screen", "/Subtype /Screen /A << /S /GoTo /D [6 0 R /Fit] >>", "/Screen"},
    {"triggered actions",
     "/Subtype /Screen /AA << /D << /S /GoTo /D [6 0 R /Fit] >> /U << /S /GoTo /D [5 0 R /FitH 3] >> "
     "/Fo << /S /URI /URI (http://example.org/) >> >>",
     "/Screen /U 2 /FitH 3 /Fo /URI"},
    {"triggered action left behind", "/Subtype /Link /Dest [5 0 R /Fit] /AA << /E << /S /GoTo /D [6 0 R /Fit] >> >>",
     "2 /Fit"},
};

// The name tree is a chain of 70 nodes from object 20 on: "shallow" sits
// in the third, "deep" in the last, further down than any real tree.
std::string LinkedSource() {
    std::string annotations;
    std::string objects;
    int number = 100;
    for (const Row &row : Rows) {
        annotations += std::to_string(number) + " 0 R ";
        objects += std::to_string(number++) + " 0 obj << /Type /Annot /Rect [0 0 10 10] /P 3 0 R /NM (" +
                   row.name + ") " + row.entries + " >> endobj\n";
    }
    // A direct annotation, as some producers write them.
    annotations += "<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] /NM (direct) /Dest [5 0 R /Fit] >>";
    std::string tree;
    for (int level = 0; level < 70; ++level) {
        std::string names = level == 2 ? "/Names [(shallow) [5 0 R /Fit]]"
                            : level == 69 ? "/Names [(deep) [5 0 R /Fit]]"
                                          : "";
        std::string kids = level < 69 ? "/Kids [" + std::to_string(21 + level) + " 0 R]" : "";
        tree += std::to_string(20 + level) + " 0 obj << " + names + " " + kids + " >> endobj\n";
    }
    return "%PDF-1.4\n"
           "1 0 obj << /Type /Catalog /Pages 2 0 R /Dests << /chapter << /D [5 0 R /FitBH 5] >> >> "
           "/Names << /Dests 20 0 R >> >> endobj\n"
           "2 0 obj << /Type /Pages /Kids [3 0 R 5 0 R 6 0 R] /Count 3 /MediaBox [0 0 200 100] >> endobj\n"
           "3 0 obj << /Type /Page /Parent 2 0 R /Annots [" +
           annotations +
           "] >> endobj\n"
           "4 0 obj << /S /GoTo /D [5 0 R /FitB] >> endobj\n"
           "5 0 obj << /Type /Page /Parent 2 0 R >> endobj\n"
           "6 0 obj << /Type /Page /Parent 2 0 R >> endobj\n"
           "7 0 obj 72 endobj\n"
           "8 0 obj << /S /GoTo /D [5 0 R /Fit] /Next [8 0 R << /S /GoTo /D [6 0 R /Fit] >> 8 0 R "
           "<< /S /URI /URI (http://example.org/) >>] >> endobj\n" +
           tree + objects + "@xref\ntrailer << /Size " + std::to_string(number) +
           " /Root 1 0 R >>\nstartxref\n@startxref\n%%EOF\n";
}

// "/NM" → where the copy leads ("page kind parameters", pages of the target
// counted from 1) or its subtype when it leads nowhere in the file.
std::map<std::string, std::string> Targets(PdfDocument &document, int pageIndex) {
    std::map<PdfObjectID, int> numbers;
    for (int i = 0; i < document.PageCount(); ++i) numbers[document.Pages()[i].ObjectID()] = i + 1;
    std::map<std::string, std::string> targets;
    const PdfArray *annotations = document.Pages()[pageIndex].Elements().GetArray("/Annots");
    for (int i = 0; annotations != nullptr && i < annotations->Elements().Count(); ++i) {
        const PdfDictionary *annotation = annotations->Elements().GetDictionary(i);
        const PdfArray *destination = annotation->Elements().GetArray("/Dest");
        if (const PdfDictionary *action = annotation->Elements().GetDictionary("/A"))
            destination = action->Elements().GetArray("/D");
        std::string target = annotation->Elements().GetName("/Subtype");
        if (destination != nullptr) {
            const PdfReference *page = destination->Elements().GetReference(0);
            target = page != nullptr ? std::to_string(numbers[page->ObjectID()]) : "none";
            for (int k = 1; k < destination->Elements().Count(); ++k)
                target += " " + destination->Elements()[k]->ToString();
        }
        // Triggered actions follow, by trigger: "/U 2 /Fit", or the action's type.
        if (const PdfDictionary *triggers = annotation->Elements().GetDictionary("/AA")) {
            for (const auto &entry : triggers->Elements().Entries()) {
                const PdfDictionary *action = triggers->Elements().GetDictionary(entry.key);
                target += " " + entry.key;
                if (const PdfArray *goTo = action->Elements().GetArray("/D")) {
                    const PdfReference *page = goTo->Elements().GetReference(0);
                    target += " " + (page != nullptr ? std::to_string(numbers[page->ObjectID()]) : "none");
                    for (int k = 1; k < goTo->Elements().Count(); ++k) target += " " + goTo->Elements()[k]->ToString();
                } else {
                    target += " " + action->Elements().GetName("/S");
                }
            }
        }
        std::u16string name = annotation->Elements().GetString("/NM");
        targets[std::string(name.begin(), name.end())] = target;
    }
    return targets;
}

// The types of a chain of actions, each go-to with its page ("/GoTo 2").
void CollectChain(PdfDocument &document, const PdfDictionary &action, std::multiset<std::string> &chain) {
    std::string entry = action.Elements().GetName("/S");
    if (const PdfArray *destination = action.Elements().GetArray("/D"))
        for (int i = 0; i < document.PageCount(); ++i)
            if (destination->Elements().GetReference(0) == document.Pages()[i].Reference())
                entry += " " + std::to_string(i + 1);
    chain.insert(entry);
    const PdfArray *next = action.Elements().GetArray("/Next");
    for (int i = 0; next != nullptr && i < next->Elements().Count(); ++i)
        CollectChain(document, *next->Elements().GetDictionary(i), chain);
}

TEST(ImportedLinks, EachFormOfDestinationLeadsToTheCopyOrIsLeftOut) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext");
    std::unique_ptr<PdfDocument> source =
        PdfReader::Open(ZavorTest::BuildPdf(LinkedSource()), PdfDocumentOpenMode::Import);
    PdfDocument target;
    PdfPageImport import(target);
    import.Append(source->Pages()[0]);
    import.Append(source->Pages()[1]);
    import.ResolveLinks();
    // Saved and read back, so that what the tools see is what is checked.
    std::filesystem::path path = ZavorTest::OutputPath("imported_link_forms.pdf");
    target.Save(path);
    std::unique_ptr<PdfDocument> saved = PdfReader::Open(path, PdfDocumentOpenMode::ReadOnly);
    std::map<std::string, std::string> targets = Targets(*saved, 0);
    for (const Row &row : Rows) {
        SCOPED_TRACE(row.name);
        auto found = targets.find(row.name);
        EXPECT_EQ(found != targets.end() ? found->second : "-", row.expected);
    }
    EXPECT_EQ(targets["direct"], "2 /Fit");
    // The chain keeps the go-to to page 2 and the web page; the loops and
    // the go-to to page 3 are cut.
    const PdfArray *annotations = saved->Pages()[0].Elements().GetArray("/Annots");
    for (int i = 0; i < annotations->Elements().Count(); ++i) {
        const PdfDictionary *annotation = annotations->Elements().GetDictionary(i);
        if (annotation->Elements().GetString("/NM") != u"chained actions") continue;
        std::multiset<std::string> chain;
        CollectChain(*saved, *annotation->Elements().GetDictionary("/A"), chain);
        EXPECT_EQ(chain, (std::multiset<std::string>{"/GoTo 2", "/URI"}));
    }
    EXPECT_EQ(ZavorTest::RunCommand("pdftotext " + path.string() + " - 2>&1 >/dev/null"), "");
}

// A page imported on its own keeps only its links to itself; importing it
// again together with its target brings the other link back.
TEST(ImportedLinks, APageOnItsOwnKeepsOnlyLinksToItself) {
    std::unique_ptr<PdfDocument> source =
        PdfReader::Open(ZavorTest::BuildPdf(LinkedSource()), PdfDocumentOpenMode::Import);
    PdfDocument target;
    target.AddPage(source->Pages()[0]);
    std::map<std::string, std::string> alone = Targets(target, 0);
    EXPECT_EQ(alone["to itself"], "1 /Fit");
    EXPECT_FALSE(alone.contains("explicit"));

    PdfPageImport import(target);
    import.Append(source->Pages()[0]);
    import.Append(source->Pages()[1]);
    import.ResolveLinks();
    EXPECT_EQ(Targets(target, 1)["explicit"], "3 /FitV 30");
    EXPECT_EQ(Targets(target, 1)["to itself"], "2 /Fit");
    // Each copy of the page has links of its own.
    EXPECT_EQ(Targets(target, 0)["to itself"], "1 /Fit");
    EXPECT_FALSE(Targets(target, 0).contains("explicit"));
    target.Save(ZavorTest::OutputPath("imported_link_twice.pdf"));
}

}  // namespace
