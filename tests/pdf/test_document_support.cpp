#include "test_document_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"

namespace ZavorTest {

FixedClock::FixedClock() { ZavorPdf::Pdf::PdfDate::SetTimeSource(&FixedClock::Time); }

FixedClock::~FixedClock() { ZavorPdf::Pdf::PdfDate::SetTimeSource(nullptr); }

ZavorPlatform::LocalDateTime FixedClock::Time() { return {2024, 1, 31, 12, 0, 0, 60}; }

std::string SaveToString(ZavorPdf::Pdf::PdfDocument &document) {
    std::vector<std::uint8_t> bytes;
    document.Save(bytes);
    return Text(bytes);
}

std::string ReadFileText(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileText(const std::filesystem::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string Text(const std::vector<std::uint8_t> &bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::uint8_t> Bytes(const std::string &text) { return {text.begin(), text.end()}; }


std::vector<std::string> PdfInfoPageSizes(const std::filesystem::path &file, int pages) {
    std::string output =
        RunCommand("pdfinfo -f 1 -l " + std::to_string(pages) + " '" + file.string() + "' 2>&1");
    std::vector<std::string> sizes;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        auto at = line.find(" size: ");
        if (line.rfind("Page", 0) != 0 || at == std::string::npos)
            continue;
        std::string rest = line.substr(at + 7);
        rest.erase(0, rest.find_first_not_of(' '));
        sizes.push_back(rest.substr(0, rest.find(" pts")));
    }
    return sizes;
}

std::string PdfInfoField(const std::filesystem::path &file, const std::string &field) {
    std::string output = RunCommand("pdfinfo '" + file.string() + "' 2>&1");
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(field + ":", 0) != 0)
            continue;
        std::string value = line.substr(field.size() + 1);
        value.erase(0, value.find_first_not_of(' '));
        return value;
    }
    return {};
}

std::string CollapseBlanks(const std::string &text) {
    std::string collapsed;
    for (char c : text)
        if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' '))
            collapsed += c;
    return collapsed;
}

std::vector<std::string> FolderEntries(const std::filesystem::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<ZavorPdf::Pdf::PdfDocument> TextDocument() {
    auto document = std::make_unique<ZavorPdf::Pdf::PdfDocument>();
    ZavorPdf::Pdf::PdfPage &page = document->AddPage();
    auto font = std::make_unique<ZavorPdf::Pdf::PdfDictionary>();
    font->Elements().SetName("/Type", "/Font");
    font->Elements().SetName("/Subtype", "/Type1");
    font->Elements().SetName("/BaseFont", "/Helvetica");
    auto fonts = std::make_unique<ZavorPdf::Pdf::PdfDictionary>();
    fonts->Elements().SetObject("/F1", std::move(font));
    auto resources = std::make_unique<ZavorPdf::Pdf::PdfDictionary>();
    resources->Elements().SetObject("/Font", std::move(fonts));
    page.Elements().SetObject("/Resources", std::move(resources));
    std::string text = "BT /F1 24 Tf 72 700 Td (Hallo Welt) Tj ET";
    page.Contents().AppendContent().SetBytes({text.begin(), text.end()});
    document->Info().SetTitle(u"Geheimer Titel");
    return document;
}

}  // namespace ZavorTest
