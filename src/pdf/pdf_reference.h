// "n g R": the handle through which containers reach an indirect object.
// References are created and owned by the document's reference table only;
// every container holding one just points at it, so that renumbering and
// the typed conversion of the value are seen by all of them at once.
#pragma once

#include <atomic>
#include <cstdint>

#include "pdf/pdf_item.h"
#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf {

class PdfDocument;
class PdfObject;
class PdfReferenceTable;

class PdfReference final : public PdfItem {
public:
    PdfReference(PdfObjectID id, PdfDocument *document)
        : PdfItem(Kind::Reference), id_(id), document_(document), serial_(NextSerial()) {}
    PdfReference(const PdfReference &) = delete;
    PdfReference &operator=(const PdfReference &) = delete;

    PdfObjectID ObjectID() const { return id_; }
    std::int32_t ObjectNumber() const { return id_.ObjectNumber(); }
    std::uint16_t GenerationNumber() const { return id_.GenerationNumber(); }

    // Non-owning; null while a file is being read and the object has not
    // been reached yet, or when the file lacks it. An object of a file
    // opened to be read only is parsed here when first asked for.
    PdfObject *Value() const {
        if (deferred_) LoadDeferred();
        return value_;
    }
    // The value as it stands, without reading a deferred object: for the
    // reader itself, which must not start on another object midway.
    PdfObject *LoadedValue() const { return value_; }
    // Set by the reader for an object of the file that is read on first use.
    bool IsDeferred() const { return deferred_; }
    void SetDeferred(bool deferred) { deferred_ = deferred; }
    // The value, failing (PdfReaderException) for an object that the file
    // holds but that could not be read: unlike an object the file lacks,
    // which reads as null, it must not pass for one.
    PdfObject *ReadableValue() const;
    // Non-owning back pointer.
    PdfDocument *Document() const { return document_; }

    // Byte position of the object in the file written or read last.
    std::int32_t Position() const { return position_; }
    void SetPosition(std::int32_t position) { position_ = position; }

    // Set by the reader for an object that its file places but that fails
    // to parse; an object filed later clears it.
    bool IsDamaged() const { return damaged_ && value_ == nullptr; }
    void MarkDamaged() { damaged_ = true; }

    // Unique for the life of the process: tells a reference apart from a
    // later one that happens to be allocated at a freed one's address.
    std::uint64_t Serial() const { return serial_; }

    // References are shared, never copied: fails.
    std::unique_ptr<PdfItem> Clone() const override;
    void WriteObject(IO::PdfWriter &writer) const override;
    std::string ToString() const override { return id_.ToString() + " R"; }

private:
    friend class PdfReferenceTable;
    friend class PdfObject;

    void LoadDeferred() const;

    PdfObjectID id_;
    std::int32_t position_ = 0;
    PdfObject *value_ = nullptr;
    PdfDocument *document_ = nullptr;
    std::uint64_t serial_;
    bool damaged_ = false;
    mutable bool deferred_ = false;

    static std::uint64_t NextSerial() {
        static std::atomic<std::uint64_t> next{1};
        return next.fetch_add(1, std::memory_order_relaxed);
    }
};

}  // namespace ZavorPdf::Pdf
