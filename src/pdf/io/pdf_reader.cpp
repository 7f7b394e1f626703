#include "pdf/io/pdf_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <span>
#include <string_view>
#include <typeinfo>

#include "pdf/errors.h"
#include "pdf/io/deferred_reader.h"
#include "pdf/io/parser.h"
#include "pdf/io/pdf_reader_security.h"
#include "pdf/io/xref_repair.h"
#include "pdf/messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_date.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"

namespace ZavorPdf::Pdf::IO {
namespace {

constexpr std::size_t HeaderWindow = 1024;

std::vector<std::uint8_t> ReadAll(std::istream &stream) {
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (stream) {
        stream.read(buffer, sizeof buffer);
        bytes.insert(bytes.end(), buffer, buffer + stream.gcount());
    }
    return bytes;
}

// A file of known size is read with one call into a buffer of that size;
// a file that changes meanwhile is read on to its actual end.
std::vector<std::uint8_t> ReadFile(std::ifstream &file) {
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size <= 0 || !file) {
        file.clear();
        file.seekg(0, std::ios::beg);
        return ReadAll(file);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char *>(bytes.data()), size);
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (file) {
        std::vector<std::uint8_t> rest = ReadAll(file);
        bytes.insert(bytes.end(), rest.begin(), rest.end());
    }
    return bytes;
}

// A dictionary of exactly the plain class or of the typed class T: the
// typed accessors can convert the one and use the other, while any other
// typed object under the key would be of the wrong class for them.
template <class T>
PdfDictionary *UsableAs(PdfDictionary *dictionary) {
    if (dictionary == nullptr) return nullptr;
    if (typeid(*dictionary) == typeid(PdfDictionary) || dynamic_cast<T *>(dictionary) != nullptr) return dictionary;
    return nullptr;
}

// The catalog, the page tree and the information dictionary must be
// distinct dictionaries before they are given their classes; a file whose
// catalog or page tree is missing cannot be used at all, a damaged
// information dictionary is dropped.
void CheckStructure(PdfDocument &document) {
    PdfTrailer &trailer = document.Trailer();
    PdfDictionary *catalog = UsableAs<PdfCatalog>(trailer.Elements().GetDictionary(PdfTrailer::Keys::Root));
    if (catalog == nullptr) throw InvalidOperationException(Messages::InvalidPdf);
    PdfDictionary *pages = UsableAs<PdfPages>(catalog->Elements().GetDictionary(PdfCatalog::Keys::Pages));
    if (pages == nullptr || pages == catalog) throw InvalidOperationException(Messages::InvalidPdf);
    if (trailer.Elements().ContainsKey(PdfTrailer::Keys::Info)) {
        PdfDictionary *info =
            UsableAs<PdfDocumentInformation>(trailer.Elements().GetDictionary(PdfTrailer::Keys::Info));
        if (info == nullptr || info == catalog || info == pages) trailer.Elements().Remove(PdfTrailer::Keys::Info);
    }
    document.Catalog().Pages();
    if (trailer.Elements().ContainsKey(PdfTrailer::Keys::Info)) document.Info();
}

// Objects that fail to read stay without value, marked damaged: whoever
// reaches one later fails rather than taking it for null, while damage in
// objects nobody uses costs nothing.
void ReadAllObjects(Parser &parser, PdfReferenceTable &table) {
    for (PdfReference *reference : table.AllReferences()) {
        if (reference->Value() != nullptr || reference->Position() <= 0) continue;
        try {
            parser.ReadObject(nullptr, reference->ObjectID());
        } catch (const ReadBudgetExceededException &) {
            throw;
        } catch (const ZavorPdfException &) {
        }
    }
}

// A document that is only read never needs more than the objects that are
// asked for; one that is modified or imported from is walked and copied
// as a whole, and keeps the order in which a full read finds damage.
bool ReadsOnFirstUse(PdfDocumentOpenMode mode) {
    return mode == PdfDocumentOpenMode::ReadOnly || mode == PdfDocumentOpenMode::InformationOnly;
}

void PrepareForModify(PdfDocument &document) {
    PdfTrailer &trailer = document.Trailer();
    if (trailer.DocumentID(0).empty()) {
        trailer.CreateNewDocumentIDs();
    } else {
        PdfTrailer fresh(&document);
        fresh.CreateNewDocumentIDs();
        std::vector<std::uint8_t> first = trailer.DocumentID(0);
        std::vector<std::uint8_t> second = fresh.DocumentID(1);
        auto ids = std::make_unique<PdfArray>(&document);
        ids->Elements().Add(std::make_unique<PdfString>(PdfString::FromBytes(first, PdfStringFlags::HexLiteral)));
        ids->Elements().Add(std::make_unique<PdfString>(PdfString::FromBytes(second, PdfStringFlags::HexLiteral)));
        trailer.Elements().SetObject(PdfTrailer::Keys::ID, std::move(ids));
    }
    document.Info().SetModificationDate(PdfDate::CurrentTime());
    document.ReferenceTable().Compact(trailer);
    document.Pages().FlattenPageTree();
    document.ReferenceTable().Renumber();
}

}  // namespace

namespace {
int HeaderVersion(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char *>(bytes.data()), std::min(bytes.size(), HeaderWindow));
    if (text.empty() || (text[0] != '%' && text.find("%PDF") == std::string_view::npos)) return 0;
    std::size_t at = text.find("PDF-", 1);
    if (at == std::string_view::npos || at + 6 >= text.size()) return 0;
    char major = text[at + 4], period = text[at + 5], minor = text[at + 6];
    if (major != '1' || period != '.' || minor < '0' || minor > '9') return 0;
    return 10 + (minor - '0');
}
}  // namespace

int PdfReader::TestPdfFile(const std::vector<std::uint8_t> &bytes) { return HeaderVersion(bytes); }

int PdfReader::TestPdfFile(std::istream &stream) {
    try {
        std::vector<std::uint8_t> bytes(HeaderWindow);
        stream.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(stream.gcount()));
        return TestPdfFile(bytes);
    } catch (const std::exception &) {
        return 0;
    }
}

int PdfReader::TestPdfFile(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    return file ? TestPdfFile(file) : 0;
}

std::unique_ptr<PdfDocument> PdfReader::Open(std::vector<std::uint8_t> bytes,
                                             const std::optional<std::u16string> &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider) {
    // A vector's elements stay where they are when the vector is moved.
    std::span<const std::uint8_t> view(bytes);
    return Read(
        view, [&bytes](PdfDocument &document) { return std::make_unique<Parser>(document, std::move(bytes)); },
        password, mode, provider);
}

std::unique_ptr<PdfDocument> PdfReader::Read(std::span<const std::uint8_t> bytes, const ParserMaker &makeParser,
                                             const std::optional<std::u16string> &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider) {
    auto document = std::make_unique<PdfDocument>(DocumentSetup::Empty);
    document->state_ |= static_cast<int>(DocumentState::Imported);
    document->openMode_ = mode;
    document->fileSize_ = static_cast<std::int64_t>(bytes.size());
    document->budget_ = ReadBudget::ForFileSize(bytes.size());
    int version = HeaderVersion(bytes);
    if (version == 0) throw InvalidOperationException(Messages::InvalidPdf);
    document->version_ = version;

    PdfReferenceTable &table = document->ReferenceTable();
    table.SetUnderConstruction(true);
    std::unique_ptr<Parser> parser = makeParser(*document);
    bool repaired = XRefRepair::ReadTrailer(*parser, *document);
    ReaderSecurity security(*document, *parser);
    if (!security.Authenticate(password, mode, provider)) return nullptr;
    if (ReadsOnFirstUse(mode)) {
        parser->DropCrossReferenceStreams();
        document->deferred_ = DeferredReader::Install(*document, std::move(parser), security.Handler());
    } else {
        ReadAllObjects(*parser, table);
        parser->DropCrossReferenceStreams();
        security.DecryptDocument();
        parser->ReadCompressedObjects();
    }

    // Trailer entries already share the table's references: the parser
    // reads references through the table while it is under construction.
    document->Trailer().Elements().Remove(PdfTrailer::Keys::Prev);
    table.SetUnderConstruction(false);
    CheckStructure(*document);
    // A repaired file's "/Count" may name pages that were lost: it counts
    // what the tree still reaches, as an import would.
    if (mode == PdfDocumentOpenMode::Modify)
        PrepareForModify(*document);
    else if (mode == PdfDocumentOpenMode::ReadOnly && !repaired)
        document->Pages().BeginFlatten();  // a page's text needs the pages before it, not all
    else if (mode != PdfDocumentOpenMode::InformationOnly || repaired)
        document->Pages().FlattenPageTree();
    return document;
}

std::unique_ptr<PdfDocument> PdfReader::OpenStream(std::istream &stream,
                                                   const std::optional<std::u16string> &password,
                                                   PdfDocumentOpenMode mode, const PdfPasswordProvider &provider) {
    return Open(ReadAll(stream), password, mode, provider);
}

std::unique_ptr<PdfDocument> PdfReader::OpenFile(const std::filesystem::path &path,
                                                 const std::optional<std::u16string> &password,
                                                 PdfDocumentOpenMode mode, const PdfPasswordProvider &provider) {
    std::unique_ptr<PdfDocument> document;
    std::unique_ptr<ZavorPlatform::FileMapping> mapping;
    // Read where it lies only where that leaves the file free to be saved
    // over while the document is kept.
    if (ReadsOnFirstUse(mode) && ZavorPlatform::FileMapping::LeavesFileWritable())
        mapping = ZavorPlatform::FileMapping::Map(path);
    if (mapping != nullptr) {
        std::span<const std::uint8_t> view = mapping->Bytes();
        const ZavorPlatform::FileMapping &mapped = *mapping;
        document = Read(
            view,
            [&mapping](PdfDocument &opened) { return std::make_unique<Parser>(opened, std::move(mapping)); },
            password, mode, provider);
        // What was read from lost bytes is zeros, not the file.
        if (document != nullptr && mapped.Shortened()) throw ZavorPdfException("The file '" + path.string() + "' was changed while it was read.");
    } else {
        std::vector<std::uint8_t> bytes;
        {
            std::ifstream file(path, std::ios::binary);
            if (!file) throw ZavorPdfException("Cannot open the file '" + path.string() + "'.");
            bytes = ReadFile(file);
        }
        document = Open(std::move(bytes), password, mode, provider);
    }
    if (document != nullptr) {
        std::error_code error;
        std::filesystem::path full = std::filesystem::absolute(path, error);
        document->fullPath_ = error ? path : full;
    }
    return document;
}

namespace {
std::optional<std::u16string> Given(const std::u16string &password) {
    if (password.empty()) return std::nullopt;
    return password;
}
}  // namespace

std::unique_ptr<PdfDocument> PdfReader::Open(const std::filesystem::path &path) {
    return OpenFile(path, std::nullopt, PdfDocumentOpenMode::Modify, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(const std::filesystem::path &path, PdfDocumentOpenMode mode) {
    return OpenFile(path, std::nullopt, mode, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(const std::filesystem::path &path, const std::u16string &password) {
    return OpenFile(path, Given(password), PdfDocumentOpenMode::Modify, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(const std::filesystem::path &path, const std::u16string &password,
                                             PdfDocumentOpenMode mode) {
    return OpenFile(path, Given(password), mode, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(const std::filesystem::path &path, PdfDocumentOpenMode mode,
                                             const PdfPasswordProvider &provider) {
    return OpenFile(path, std::nullopt, mode, provider);
}
std::unique_ptr<PdfDocument> PdfReader::Open(const std::filesystem::path &path, const std::u16string &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider) {
    return OpenFile(path, Given(password), mode, provider);
}

std::unique_ptr<PdfDocument> PdfReader::Open(std::istream &stream) {
    return OpenStream(stream, std::nullopt, PdfDocumentOpenMode::Modify, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(std::istream &stream, PdfDocumentOpenMode mode) {
    return OpenStream(stream, std::nullopt, mode, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(std::istream &stream, const std::u16string &password,
                                             PdfDocumentOpenMode mode) {
    return OpenStream(stream, Given(password), mode, nullptr);
}
std::unique_ptr<PdfDocument> PdfReader::Open(std::istream &stream, PdfDocumentOpenMode mode,
                                             const PdfPasswordProvider &provider) {
    return OpenStream(stream, std::nullopt, mode, provider);
}
std::unique_ptr<PdfDocument> PdfReader::Open(std::istream &stream, const std::u16string &password,
                                             PdfDocumentOpenMode mode, const PdfPasswordProvider &provider) {
    return OpenStream(stream, Given(password), mode, provider);
}

std::unique_ptr<PdfDocument> PdfReader::Open(std::vector<std::uint8_t> bytes, PdfDocumentOpenMode mode) {
    return Open(std::move(bytes), std::nullopt, mode, nullptr);
}

}  // namespace ZavorPdf::Pdf::IO
