#include "pdf/io/deferred_reader.h"

#include <utility>

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/pdf_standard_security_handler.h"

namespace ZavorPdf::Pdf::IO {

namespace {

// While one object is read the parser's place and the table's reading
// state belong to it; a nested load gives both back as it found them.
class LoadScope {
public:
    LoadScope(Parser &parser, PdfReferenceTable &table, int &nesting)
        : parser_(parser), table_(table), nesting_(nesting), position_(parser.GetLexer().Position()),
          underConstruction_(table.IsUnderConstruction()) {
        ++nesting_;
        table_.SetUnderConstruction(true);
    }
    LoadScope(const LoadScope &) = delete;
    LoadScope &operator=(const LoadScope &) = delete;
    ~LoadScope() {
        table_.SetUnderConstruction(underConstruction_);
        parser_.GetLexer().SetPosition(position_);
        --nesting_;
    }

private:
    Parser &parser_;
    PdfReferenceTable &table_;
    int &nesting_;
    std::int32_t position_;
    bool underConstruction_;
};

}  // namespace

std::unique_ptr<DeferredReader> DeferredReader::Install(PdfDocument &document, std::unique_ptr<Parser> parser,
                                                        PdfStandardSecurityHandler *handler) {
    for (PdfReference *reference : document.ReferenceTable().AllReferences()) {
        if (reference->LoadedValue() != nullptr) continue;
        if (reference->Position() > 0 || parser->ObjectStreamOf(reference->ObjectID()) != 0)
            reference->SetDeferred(true);
    }
    return std::make_unique<DeferredReader>(document, std::move(parser), handler);
}

DeferredReader::DeferredReader(PdfDocument &document, std::unique_ptr<Parser> parser,
                               PdfStandardSecurityHandler *handler)
    : document_(document), parser_(std::move(parser)), handler_(handler) {}

DeferredReader::~DeferredReader() = default;

void DeferredReader::Load(PdfReference &reference) {
    if (reference.LoadedValue() != nullptr) return;
    if (nesting_ >= MaxNesting) {
        reference.MarkDamaged();
        return;
    }
    LoadScope scope(*parser_, document_.ReferenceTable(), nesting_);
    try {
        std::int32_t stream = parser_->ObjectStreamOf(reference.ObjectID());
        if (stream != 0)
            LoadStreamed(stream);
        else
            LoadPlaced(reference);
    } catch (const ZavorPdfException &) {
        // The budget too: once it is spent, what the operation reads next
        // fails as well, and the operation with it.
        reference.MarkDamaged();
    }
}

// An object whose decryption fails is as damaged as one that does not
// parse: its undecrypted bytes must not pass for its content.
void DeferredReader::LoadPlaced(PdfReference &reference) {
    PdfObject *object = parser_->ReadObject(nullptr, reference.ObjectID());
    if (handler_ == nullptr || object == handler_) return;
    try {
        handler_->EncryptObject(*object);
    } catch (const ZavorPdfException &) {
        document_.ReferenceTable().DiscardDamaged(reference);
        throw;
    }
}

// The object stream is read (and decrypted) as an object of its own first;
// its members are then read from its decoded data as they stand.
void DeferredReader::LoadStreamed(std::int32_t stream) {
    PdfReference *holder = document_.ReferenceTable()[PdfObjectID(stream, 0)];
    if (holder != nullptr && parser_->ObjectStreamOf(holder->ObjectID()) == 0) holder->Value();
    parser_->ReadObjectStreamMembers(stream);
}

}  // namespace ZavorPdf::Pdf::IO
