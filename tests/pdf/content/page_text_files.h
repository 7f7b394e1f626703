// One-page PDF files written as text for the page-text tests, and the
// measure they share with pdftotext: how many of its words ours hold.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "pdf/content/glyph_names.h"
#include "platform/code_page.h"
#include "support/hostile_pdfs.h"
#include "support/test_output.h"

namespace ZavorTest::PageText {

inline std::string Stream(const std::string &data, const std::string &entries = "") {
    return "<< /Length " + std::to_string(data.size()) + entries + " >>\nstream\n" + data + "\nendstream";
}

// Objects 1..4 are the catalog, the page tree, the page and its content;
// `objects` follow from number 5 on, so that `resources` can name them.
inline std::filesystem::path OnePage(const std::string &name, const std::string &resources,
                                     const std::string &content, const std::vector<std::string> &objects = {}) {
    std::vector<std::string> all{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources " + resources + " /Contents 4 0 R >>",
        Stream(content),
    };
    all.insert(all.end(), objects.begin(), objects.end());
    const std::filesystem::path path = OutputPath(name);
    std::ofstream(path, std::ios::binary) << Hostile::WithTable(all);
    return path;
}

inline std::vector<std::string> Words(const std::string &text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The share of pdftotext's words (as a multiset) that our text holds too.
inline double PopplerWordsFound(const std::filesystem::path &path, const std::u16string &ours) {
    // pdftotext leaves ligatures as they are; we give their letters.
    const std::u16string tool = ZavorPdf::Pdf::Content::ExpandLigatures(ZavorPlatform::Utf8ToUtf16(
        RunCommand("pdftotext -raw -enc UTF-8 -f 1 -l 1 '" + path.string() + "' -")));
    const std::vector<std::string> theirs = Words(ZavorPlatform::Utf16ToUtf8(tool));
    std::map<std::string, int> available;
    for (const std::string &word : Words(ZavorPlatform::Utf16ToUtf8(ours)))
        ++available[word];
    int found = 0;
    for (const std::string &word : theirs)
        if (available[word]-- > 0)
            ++found;
    return theirs.empty() ? 0.0 : static_cast<double>(found) / static_cast<double>(theirs.size());
}

}  // namespace ZavorTest::PageText
