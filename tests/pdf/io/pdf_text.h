// Hand-written PDF files for the reader tests. The texts carry markers in
// place of byte positions, so that editing a file never breaks its tables:
//   a line "@xref"   becomes a cross-reference table of every "n g obj"
//                    line written since the previous table,
//   "@startxref"     the position of the last table written,
//   "@prev"          the position of the table before it,
//   "@obj:N"         the position of the newest "N g obj" line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/io/parser.h"
#include "pdf/pdf_document.h"

namespace ZavorTest {

std::vector<std::uint8_t> BuildPdf(std::string_view text);
// tests/data/<name>, built.
std::vector<std::uint8_t> LoadPdf(const std::string &name);
std::vector<std::uint8_t> Bytes(std::string_view text);

// An empty document with a parser on the bytes, the table marked as being
// read, as the reader prepares it.
struct ParsedFile {
    explicit ParsedFile(std::vector<std::uint8_t> bytes);
    std::unique_ptr<ZavorPdf::Pdf::PdfDocument> document;
    std::unique_ptr<ZavorPdf::Pdf::IO::Parser> parser;

    // Reads the trailer and then every object listed.
    void ReadAll();
    ZavorPdf::Pdf::PdfObject *Object(int number) const;
};

}  // namespace ZavorTest
