// Small PDF files written byte by byte, independent of the engine's writer,
// for the variables and operations that read other PDF files. Offsets in the
// cross-reference table are computed here, so the files are valid.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/test_output.h"

namespace ZavorTest {

struct SamplePdf {
    // One page per entry; each shows its text with one Tj ("" : no text).
    std::vector<std::string> pageTexts;
    // Literal-string bodies of the information entries, e.g. "/Author (Anna)".
    std::string info;
};

// Objects numbered from 1 in the order given, the first being the catalog.
inline void WritePdfObjects(const std::filesystem::path &path, const std::vector<std::string> &objects,
                            const std::string &trailerEntries = "") {
    std::string file = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(file.size());
        file += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = file.size();
    file += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        file += line;
    }
    file += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R " + trailerEntries +
            ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    // Every test of a fixture writes the same file, each in its own process:
    // a reader must never see it half written.
    PublishFile(path, file);
}

// Changes the text of object number n at objects[n - 1] before the file is
// laid out, e.g. to damage it; the table still finds every object.
using SamplePdfEdit = std::function<void(std::vector<std::string> &objects)>;

inline void WriteSamplePdf(const std::filesystem::path &path, const SamplePdf &sample,
                           const SamplePdfEdit &edit = nullptr) {
    const int pageCount = static_cast<int>(sample.pageTexts.size());
    // 1 catalog, 2 pages, 3 font, 4 info, then page and content per page.
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int i = 0; i < pageCount; ++i) kids += std::to_string(5 + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pageCount) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    objects.push_back("<< " + sample.info + " >>");
    for (int i = 0; i < pageCount; ++i) {
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R "
                          ">> >> /Contents " +
                          std::to_string(6 + 2 * i) + " 0 R >>");
        const std::string &text = sample.pageTexts[static_cast<std::size_t>(i)];
        std::string content = text.empty() ? "0 0 m 10 10 l S" : "BT /F1 12 Tf 72 720 Td (" + text + ") Tj ET";
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "\nendstream");
    }
    if (edit) edit(objects);
    WritePdfObjects(path, objects, "/Info 4 0 R ");
}

// Four pages whose links lead to each other in every way a file can say
// it. Each link is told apart by its "/NM": page 1 carries "explicit"
// (to page 2 by "/Dest"), "goto" (page 4, go-to action), "chapter" (page 3
// through the catalog's "/Dests"), "sec.2" (page 2, action naming a string
// of the "/Dests" name tree, whose leaf loops back to the root),
// "appendix" (page 4, "/Dest" naming a string of the tree), "intro"
// (page 1 itself, "/Dests" entry with "/D"), "web" (URI), "remote"
// (another file), "missing" (an unknown name) and "bogus" (a destination of
// an unknown kind), and a note; page 2 carries "back" (to page 1).
inline void WriteLinkedPdf(const std::filesystem::path &path) {
    auto link = [](const std::string &name, const std::string &target) {
        return "<< /Type /Annot /Subtype /Link /Rect [0 0 20 20] /Border [0 0 0] /P 8 0 R /NM (" + name + ") " +
               target + " >>";
    };
    const std::string content = "BT /F1 12 Tf 10 50 Td (Links) Tj ET";
    WritePdfObjects(path, {
        "<< /Type /Catalog /Pages 2 0 R /Dests 3 0 R /Names << /Dests 4 0 R >> >>",
        "<< /Type /Pages /Kids [8 0 R 9 0 R 10 0 R 11 0 R] /Count 4 /MediaBox [0 0 200 100] >>",
        "<< /chapter [10 0 R /FitH 50] /intro << /D [8 0 R /Fit] >> /bogus [9 0 R /Zoom 2] >>",
        "<< /Kids [5 0 R 6 0 R] >>",
        "<< /Limits [(appendix) (appendix)] /Names [(appendix) 7 0 R] >>",
        "<< /Limits [(sec.2) (sec.2)] /Names [(sec.2) << /D [9 0 R /FitR 0 0 10 10] >>] /Kids [4 0 R] >>",
        "[11 0 R /XYZ null null null]",
        "<< /Type /Page /Parent 2 0 R /Annots [12 0 R 13 0 R 14 0 R 15 0 R 16 0 R 17 0 R 18 0 R 19 0 R 20 0 R "
        "21 0 R 22 0 R] /Contents 24 0 R /Resources << /Font << /F1 25 0 R >> >> >>",
        "<< /Type /Page /Parent 2 0 R /Annots [23 0 R] >>",
        "<< /Type /Page /Parent 2 0 R >>",
        "<< /Type /Page /Parent 2 0 R >>",
        link("explicit", "/Dest [9 0 R /XYZ 0 100 0]"),
        link("goto", "/A << /S /GoTo /D [11 0 R /Fit] >>"),
        link("chapter", "/Dest /chapter"),
        link("sec.2", "/A << /S /GoTo /D (sec.2) >>"),
        link("appendix", "/Dest (appendix)"),
        link("intro", "/Dest /intro"),
        link("web", "/A << /S /URI /URI (http://example.org/) >>"),
        link("remote", "/A << /S /GoToR /F (other.pdf) /D [0 /Fit] >>"),
        link("missing", "/Dest /missing"),
        link("bogus", "/Dest /bogus"),
        "<< /Type /Annot /Subtype /Text /Rect [30 0 40 10] /P 8 0 R /NM (note) /Contents (note) >>",
        "<< /Type /Annot /Subtype /Link /Rect [0 0 20 20] /Border [0 0 0] /P 9 0 R /NM (back) /Dest [8 0 R /Fit] >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    });
}

}  // namespace ZavorTest
