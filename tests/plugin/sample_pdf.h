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
    file += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info 4 0 R >>\nstartxref\n" +
            std::to_string(xref) + "\n%%EOF\n";
    // Every test of a fixture writes the same sample, each in its own
    // process: a reader must never see it half written.
    PublishFile(path, file);
}

}  // namespace ZavorTest
