// Opens an existing PDF file as a document in one of the open modes. For
// Modify and Import every object listed in its cross-reference table is
// parsed at once and the whole file is read into memory during the call, so
// the file or stream is not needed afterwards. A document opened ReadOnly
// or InformationOnly parses each object when it is first used; it keeps a
// stream's bytes, and a file's bytes where the file lies mapped into memory,
// so that a page count reads only the parts of a large file it needs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pdf/pdf_document.h"

namespace ZavorPdf::Pdf::IO {

class Parser;

// What a password provider is asked with: it sets Password, or Abort to
// give up opening (Open then returns no document, without an error).
struct PdfPasswordProviderArgs {
    std::u16string Password;
    bool Abort = false;
};

using PdfPasswordProvider = std::function<void(PdfPasswordProviderArgs &)>;

class PdfReader {
public:
    // Without a mode a file is opened for Modify. A null result only comes
    // from a provider that aborted.
    static std::unique_ptr<PdfDocument> Open(const std::filesystem::path &path);
    static std::unique_ptr<PdfDocument> Open(const std::filesystem::path &path, PdfDocumentOpenMode mode);
    static std::unique_ptr<PdfDocument> Open(const std::filesystem::path &path, const std::u16string &password);
    static std::unique_ptr<PdfDocument> Open(const std::filesystem::path &path, const std::u16string &password,
                                             PdfDocumentOpenMode mode);
    static std::unique_ptr<PdfDocument> Open(const std::filesystem::path &path, PdfDocumentOpenMode mode,
                                             const PdfPasswordProvider &provider);
    static std::unique_ptr<PdfDocument> Open(const std::filesystem::path &path, const std::u16string &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider);

    // The stream is read to its end and left open.
    static std::unique_ptr<PdfDocument> Open(std::istream &stream);
    static std::unique_ptr<PdfDocument> Open(std::istream &stream, PdfDocumentOpenMode mode);
    static std::unique_ptr<PdfDocument> Open(std::istream &stream, const std::u16string &password,
                                             PdfDocumentOpenMode mode);
    static std::unique_ptr<PdfDocument> Open(std::istream &stream, PdfDocumentOpenMode mode,
                                             const PdfPasswordProvider &provider);
    static std::unique_ptr<PdfDocument> Open(std::istream &stream, const std::u16string &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider);

    // Bytes already in memory, e.g. a file embedded in the program.
    static std::unique_ptr<PdfDocument> Open(std::vector<std::uint8_t> bytes, PdfDocumentOpenMode mode);
    static std::unique_ptr<PdfDocument> Open(std::vector<std::uint8_t> bytes,
                                             const std::optional<std::u16string> &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider);

    // The PDF version times ten found in the first 1024 bytes, or 0 when
    // the data is not a PDF file or cannot be read.
    static int TestPdfFile(const std::filesystem::path &path);
    static int TestPdfFile(std::istream &stream);
    static int TestPdfFile(const std::vector<std::uint8_t> &bytes);

private:
    using ParserMaker = std::function<std::unique_ptr<Parser>(PdfDocument &)>;
    // The bytes are those the parser made by the maker will read.
    static std::unique_ptr<PdfDocument> Read(std::span<const std::uint8_t> bytes, const ParserMaker &makeParser,
                                             const std::optional<std::u16string> &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider);
    static std::unique_ptr<PdfDocument> OpenFile(const std::filesystem::path &path,
                                                 const std::optional<std::u16string> &password,
                                                 PdfDocumentOpenMode mode, const PdfPasswordProvider &provider);
    static std::unique_ptr<PdfDocument> OpenStream(std::istream &stream,
                                                   const std::optional<std::u16string> &password,
                                                   PdfDocumentOpenMode mode, const PdfPasswordProvider &provider);
};

}  // namespace ZavorPdf::Pdf::IO
