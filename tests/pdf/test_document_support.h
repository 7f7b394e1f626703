// Helpers shared by the document and page tests: saving to bytes, finding
// text in written files and asking the system's PDF tools about them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pdf/pdf_date.h"
#include "pdf/pdf_document.h"
#include "support/test_output.h"

namespace ZavorTest {

// Fixes the clock of new documents for the lifetime of the object.
class FixedClock {
public:
    FixedClock();
    ~FixedClock();
    FixedClock(const FixedClock &) = delete;
    FixedClock &operator=(const FixedClock &) = delete;
    // 31 January 2024, 12:00:00 at UTC+01:00.
    static ZavorPlatform::LocalDateTime Time();
};

std::string SaveToString(ZavorPdf::Pdf::PdfDocument &document);
std::string ReadFileText(const std::filesystem::path &path);
void WriteFileText(const std::filesystem::path &path, const std::string &text);
std::string Text(const std::vector<std::uint8_t> &bytes);
std::vector<std::uint8_t> Bytes(const std::string &text);

// "595 x 842" for each page, in order, as pdfinfo reports them.
std::vector<std::string> PdfInfoPageSizes(const std::filesystem::path &file, int pages);
// The value of one pdfinfo field ("Producer").
std::string PdfInfoField(const std::filesystem::path &file, const std::string &field);

// A document with one page that shows "Hallo Welt" in Helvetica, titled
// "Geheimer Titel".
std::unique_ptr<ZavorPdf::Pdf::PdfDocument> TextDocument();

// Runs of blanks become one blank, for matching tool output.
std::string CollapseBlanks(const std::string &text);

// Files in a folder, for spotting temporary files left behind.
std::vector<std::string> FolderEntries(const std::filesystem::path &folder);

}  // namespace ZavorTest
