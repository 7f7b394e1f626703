// A PDF document: it owns the reference table with every indirect object,
// the trailer through which catalog, page tree and information dictionary
// are reached, and the options that saving follows.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "pdf/page_size.h"
#include "pdf/pdf_document_options.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/read_budget.h"
#include "platform/local_time.h"

namespace ZavorPdf::Pdf {

namespace IO {
class PdfReader;
class PdfWriter;
}

class PdfCatalog;
enum class PdfPageLayout : int;
enum class PdfPageMode : int;
class PdfDocumentInformation;
class PdfExtGStateTable;
class PdfImportedObjectTables;
class PdfOutlineCollection;
class PdfPage;
class PdfPages;
class PdfSecuritySettings;
class PdfTrailer;
class PdfReference;

// The objects of a file that are parsed when first used; the document
// keeps the reader, and with it the file's bytes, for as long as it lives.
class DeferredObjects {
public:
    virtual ~DeferredObjects() = default;
    // Files the object behind the reference or marks it damaged; never
    // throws the reader's failures, which a reference must not pass on.
    virtual void Load(PdfReference &reference) = 0;
};

// What a new document starts with. Standard documents create their
// information dictionary (object 1) and "/ID" at once; an empty document has
// an empty reference table and trailer, for code that builds or reads an
// object graph of its own.
enum class DocumentSetup { Standard, Empty };

enum class PdfDocumentOpenMode { Modify = 0, Import = 1, ReadOnly = 2, InformationOnly = 3 };

// Bit set.
enum class DocumentState : int { Created = 1, Imported = 2, Disposed = 32768 };

class PdfDocument {
public:
    // Written into every saved file's "/Producer".
    static constexpr const char16_t *ProducerText = u"Vornix - ZAVOR Plugin (https://www.vornix.example)";
    // Written into "/Creator" unless the document already names one.
    static constexpr const char16_t *CreatorText = u"PDF-Plugin f\u00FCr Vornix (ZavorPdf Engine)";

    // A new, empty document: its information dictionary (object 1) holds
    // the creation time, and its trailer a fresh "/ID".
    PdfDocument();
    explicit PdfDocument(DocumentSetup setup);
    // The same, saved to `path` by Close().
    explicit PdfDocument(std::filesystem::path path);
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;
    ~PdfDocument();

    // Layers above the object model (the font tables) keep per-document
    // objects that must be completed before a save compacts the document,
    // and forgotten when the document goes. They hook in here once; the
    // document owns nothing of theirs.
    static inline void (*BeforeSaveHook)(PdfDocument &) = nullptr;
    static inline void (*DisposeHook)(const PdfDocument *) = nullptr;

    const std::string &Name() const { return name_; }
    const std::array<std::uint8_t, 16> &Guid() const { return guid_; }
    const ZavorPlatform::LocalDateTime &CreationTime() const { return creation_; }

    PdfReferenceTable &ReferenceTable() { return *referenceTable_; }
    const PdfReferenceTable &ReferenceTable() const { return *referenceTable_; }
    PdfTrailer &Trailer() { return *trailer_; }
    const PdfTrailer &Trailer() const { return *trailer_; }
    PdfCatalog &Catalog();
    PdfPages &Pages();
    PdfDocumentInformation &Info();
    // Encryption level, passwords and permissions of saved files; created
    // on first use.
    PdfSecuritySettings &SecuritySettings();
    // The top-level bookmarks; the outline root is made on first use.
    PdfOutlineCollection &Outlines();

    PdfDocumentOptions &Options() { return options_; }
    const PdfDocumentOptions &Options() const { return options_; }
    PdfDocumentSettings &Settings() { return settings_; }
    const PdfDocumentSettings &Settings() const { return settings_; }

    // The PDF version times ten (14 for PDF 1.4).
    int Version() const { return version_; }
    // Modifiable documents only; 12 to 17.
    void SetVersion(int version);

    // The file the document was read from (empty for a new document) and
    // its size in bytes.
    const std::filesystem::path &FullPath() const { return fullPath_; }
    std::int64_t FileSize() const { return fileSize_; }
    // What reading the file may still decode and parse; without limits for
    // a document that was not read from a file.
    ReadBudget &Budget() { return budget_; }
    // Reads a deferred object of the file (PdfReference::Value).
    void LoadDeferred(PdfReference &reference);
    // A document kept open for several operations gives each of them the
    // whole budget of its file again: what an earlier one spent is not
    // this one's doing.
    void RenewBudget();
    // Lets import tables notice that this document is gone without
    // keeping it alive.
    std::weak_ptr<PdfDocument *const> Handle() const { return handle_; }
    // The copies this document holds of other documents' objects.
    PdfImportedObjectTables &ImportedObjectTables();
    // The opacity states made so far, by alpha; made on first use.
    PdfExtGStateTable &ExtGStates();

    PdfDocumentOpenMode OpenMode() const { return openMode_; }
    bool CanModify() const { return openMode_ == PdfDocumentOpenMode::Modify; }
    bool IsReadOnly() const { return !CanModify(); }
    bool IsImported() const { return (state_ & static_cast<int>(DocumentState::Imported)) != 0; }
    bool IsDisposed() const { return (state_ & static_cast<int>(DocumentState::Disposed)) != 0; }
    void Dispose() { state_ |= static_cast<int>(DocumentState::Disposed); }

    // New pages are A4 where the user measures in metric units, Letter
    // elsewhere; read from the locale once per document.
    PageSize DefaultPageSize() const { return defaultPageSize_; }
    static PageSize LocaleDefaultPageSize();

    // Viewer settings kept in the catalog.
    PdfPageLayout PageLayout();
    void SetPageLayout(PdfPageLayout value);
    PdfPageMode PageMode();
    void SetPageMode(PdfPageMode value);
    std::u16string Language();
    void SetLanguage(std::u16string value);

    int PageCount();
    PdfPage &AddPage();
    PdfPage &AddPage(std::unique_ptr<PdfPage> page);
    PdfPage &AddPage(PdfPage &page);
    PdfPage &InsertPage(int index);
    PdfPage &InsertPage(int index, std::unique_ptr<PdfPage> page);
    PdfPage &InsertPage(int index, PdfPage &page);

    // Saves the document. A file is replaced only once the new content is
    // completely written; a failing save leaves an existing file untouched.
    void Save(const std::filesystem::path &path);
    void Save(std::ostream &stream);
    void Save(std::vector<std::uint8_t> &bytes);
    // Saves to the path given at construction, if any.
    void Close();

private:
    friend class IO::PdfReader;

    void CheckModifiable() const;
    void CheckCanSave();
    void PrepareForSave();
    void DoSave(IO::PdfWriter &writer);

    std::string name_;
    std::array<std::uint8_t, 16> guid_{};
    ZavorPlatform::LocalDateTime creation_;
    int version_ = 14;
    int state_ = static_cast<int>(DocumentState::Created);
    PdfDocumentOpenMode openMode_ = PdfDocumentOpenMode::Modify;
    PageSize defaultPageSize_ = PageSize::A4;
    PdfDocumentOptions options_;
    PdfDocumentSettings settings_;
    std::optional<std::filesystem::path> outputPath_;
    std::unique_ptr<PdfReferenceTable> referenceTable_;
    std::unique_ptr<PdfTrailer> trailer_;
    std::filesystem::path fullPath_;
    std::int64_t fileSize_ = 0;
    ReadBudget budget_;
    std::shared_ptr<PdfDocument *const> handle_ = std::make_shared<PdfDocument *const>(this);
    std::unique_ptr<PdfImportedObjectTables> importedObjectTables_;
    std::unique_ptr<PdfExtGStateTable> extGStates_;
    // After the table and trailer, so that it goes before them: it reads
    // into both.
    std::unique_ptr<DeferredObjects> deferred_;
    std::unique_ptr<PdfSecuritySettings> securitySettings_;
};

}  // namespace ZavorPdf::Pdf
