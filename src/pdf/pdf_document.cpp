#include "pdf/pdf_document.h"

#include <algorithm>
#include <atomic>
#include <system_error>

#include "pdf/errors.h"
#include "pdf/messages.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_date.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_ext_gstate.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_outline_collection.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_trailer.h"
#include "pdf/pdf_writer.h"
#include "platform/atomic_file.h"
#include "platform/measurement_system.h"
#include "platform/random_id.h"

namespace ZavorPdf::Pdf {
namespace {

// Streams the writer's bytes into the temporary file that replaces the
// target once everything is written, so a large document is never held
// twice in memory.
class AtomicFileSink final : public IO::ByteSink {
public:
    explicit AtomicFileSink(ZavorPlatform::AtomicFile &file) : file_(file) {}
    void Write(const std::uint8_t *data, std::size_t size) override { file_.Write({data, size}); }

private:
    ZavorPlatform::AtomicFile &file_;
};

std::atomic<int> documentCounter{0};

}  // namespace

PdfDocument::PdfDocument() : PdfDocument(DocumentSetup::Standard) {}

PdfDocument::PdfDocument(DocumentSetup setup)
    : name_("Document " + std::to_string(documentCounter++)),
      guid_(ZavorPlatform::NewGuid()),
      creation_(PdfDate::CurrentTime()),
      defaultPageSize_(LocaleDefaultPageSize()),
      referenceTable_(std::make_unique<PdfReferenceTable>(this)),
      trailer_(std::make_unique<PdfTrailer>(this)) {
    if (setup == DocumentSetup::Empty)
        return;
    trailer_->CreateNewDocumentIDs();
    Info().SetCreationDate(creation_);
}

PdfDocument::PdfDocument(std::filesystem::path path) : PdfDocument() { outputPath_ = std::move(path); }

PdfDocument::~PdfDocument() {
    if (DisposeHook != nullptr) DisposeHook(this);
}

PageSize PdfDocument::LocaleDefaultPageSize() {
    return ZavorPlatform::CurrentMeasurementSystem() == ZavorPlatform::MeasurementSystem::Imperial
               ? PageSize::Letter
               : PageSize::A4;
}

PdfImportedObjectTables &PdfDocument::ImportedObjectTables() {
    if (importedObjectTables_ == nullptr) importedObjectTables_ = std::make_unique<PdfImportedObjectTables>(*this);
    return *importedObjectTables_;
}

PdfExtGStateTable &PdfDocument::ExtGStates() {
    if (extGStates_ == nullptr) extGStates_ = std::make_unique<PdfExtGStateTable>(*referenceTable_);
    return *extGStates_;
}

PdfCatalog &PdfDocument::Catalog() { return trailer_->Root(); }

PdfPages &PdfDocument::Pages() { return Catalog().Pages(); }

PdfDocumentInformation &PdfDocument::Info() { return trailer_->Info(); }

PdfOutlineCollection &PdfDocument::Outlines() { return Catalog().Outlines().Outlines(); }

PdfSecuritySettings &PdfDocument::SecuritySettings() {
    if (securitySettings_ == nullptr) securitySettings_ = std::make_unique<PdfSecuritySettings>(*this);
    return *securitySettings_;
}

PdfPageLayout PdfDocument::PageLayout() { return Catalog().PageLayout(); }

void PdfDocument::SetPageLayout(PdfPageLayout value) { Catalog().SetPageLayout(value); }

PdfPageMode PdfDocument::PageMode() { return Catalog().PageMode(); }

void PdfDocument::SetPageMode(PdfPageMode value) { Catalog().SetPageMode(value); }

std::u16string PdfDocument::Language() { return Catalog().Language(); }

void PdfDocument::SetLanguage(std::u16string value) { Catalog().SetLanguage(std::move(value)); }

void PdfDocument::CheckModifiable() const {
    if (!CanModify())
        throw InvalidOperationException(Messages::CannotModify);
}

void PdfDocument::SetVersion(int version) {
    CheckModifiable();
    if (version < 12 || version > 17)
        throw ArgumentException("Invalid version number. Valid values are 12, 13, and 14.", "value");
    version_ = version;
}

void PdfDocument::LoadDeferred(PdfReference &reference) {
    if (deferred_ != nullptr) deferred_->Load(reference);
}

void PdfDocument::RenewBudget() {
    if (IsImported()) budget_ = ReadBudget::ForFileSize(static_cast<std::size_t>(fileSize_));
}

int PdfDocument::PageCount() {
    if (CanModify())
        return Pages().Count();
    // An opened document answers from its catalog without building the tree.
    const PdfDictionary *catalog = trailer_->Elements().GetDictionary(PdfTrailer::Keys::Root);
    PdfDictionary *pages = catalog ? catalog->Elements().GetDictionary(PdfCatalog::Keys::Pages) : nullptr;
    // A tree that is being walked counts the pages it reaches, as a walked
    // one does.
    if (auto *tree = dynamic_cast<PdfPages *>(pages)) tree->FinishFlatten();
    // A damaged file's negative count means no pages.
    return pages ? std::max(0, pages->Elements().GetInteger(PdfPages::Keys::Count)) : 0;
}

PdfPage &PdfDocument::AddPage() {
    CheckModifiable();
    return Pages().Add();
}

PdfPage &PdfDocument::AddPage(std::unique_ptr<PdfPage> page) {
    CheckModifiable();
    return Pages().Add(std::move(page));
}

PdfPage &PdfDocument::AddPage(PdfPage &page) {
    CheckModifiable();
    return Pages().Insert(Pages().Count(), page);
}

PdfPage &PdfDocument::InsertPage(int index) {
    CheckModifiable();
    return Pages().Insert(index);
}

PdfPage &PdfDocument::InsertPage(int index, std::unique_ptr<PdfPage> page) {
    CheckModifiable();
    return Pages().Insert(index, std::move(page));
}

PdfPage &PdfDocument::InsertPage(int index, PdfPage &page) {
    CheckModifiable();
    return Pages().Insert(index, page);
}

// Everything that can refuse a save is asked before a byte is written, so a
// refused save never touches the target.
void PdfDocument::CheckCanSave() {
    CheckModifiable();
    std::string securityMessage;
    if (!SecuritySettings().CanSave(securityMessage))
        throw ZavorPdfException(securityMessage);
    if (PageCount() == 0)
        throw InvalidOperationException("Cannot save a PDF document with no pages.");
}

void PdfDocument::PrepareForSave() {
    PdfDocumentInformation &info = Info();
    if (!info.Elements().ContainsKey(PdfDocumentInformation::Keys::Creator))
        info.SetCreator(CreatorText);
    info.SetProducer(ProducerText);
    if (BeforeSaveHook != nullptr) BeforeSaveHook(*this);
    Catalog().PrepareForSave();
    // Only what the trailer reaches is written, numbered without gaps in the
    // order of creation.
    referenceTable_->Compact(*trailer_);
    referenceTable_->Renumber();
}

void PdfDocument::DoSave(IO::PdfWriter &writer) {
    // The handler is the trailer's indirect "/Encrypt"; without security
    // it is dropped, and compacting frees it.
    PdfStandardSecurityHandler *security = nullptr;
    // "/Encrypt" and "/Size" are entered anew, so that every save lists
    // them in the same place, after "/Root".
    trailer_->Elements().Remove(PdfTrailer::Keys::Size);
    if (SecuritySettings().DocumentSecurityLevel() != PdfDocumentSecurityLevel::None) {
        security = &trailer_->SecurityHandler();
        trailer_->Elements().Remove(PdfTrailer::Keys::Encrypt);
        trailer_->Elements().SetReference(PdfTrailer::Keys::Encrypt, *security);
    } else {
        trailer_->Elements().Remove(PdfTrailer::Keys::Encrypt);
    }
    PrepareForSave();
    if (security != nullptr) {
        security->PrepareEncryption();
        writer.SetSecurityHandler(security);
    }
    writer.WriteFileHeader(*this);
    std::vector<PdfReference *> references = referenceTable_->AllReferences();
    std::vector<IO::XrefEntry> entries;
    entries.reserve(references.size());
    for (PdfReference *reference : references) {
        reference->SetPosition(writer.Position());
        entries.push_back({writer.Position(), reference->GenerationNumber()});
        reference->Value()->WriteObject(writer);
    }
    std::int32_t startxref = writer.Position();
    writer.WriteXrefTable(entries);
    trailer_->SetSize(static_cast<int>(entries.size()) + 1);
    writer.WriteTrailer(*trailer_);
    writer.WriteEof(startxref);
    writer.Flush();
}

void PdfDocument::Save(std::vector<std::uint8_t> &bytes) {
    CheckCanSave();
    IO::PdfWriter writer(bytes);
    DoSave(writer);
}

void PdfDocument::Save(std::ostream &stream) {
    CheckCanSave();
    IO::PdfWriter writer(stream);
    try {
        DoSave(writer);
    } catch (...) {
        stream.flush();
        throw;
    }
}

void PdfDocument::Save(const std::filesystem::path &path) {
    CheckCanSave();
    try {
        ZavorPlatform::AtomicFile file(path);
        IO::PdfWriter writer(std::make_unique<AtomicFileSink>(file));
        DoSave(writer);
        file.Commit();
    } catch (const std::system_error &error) {
        throw ZavorPdfException(error.what());
    }
}

void PdfDocument::Close() {
    if (outputPath_)
        Save(*outputPath_);
}

}  // namespace ZavorPdf::Pdf
