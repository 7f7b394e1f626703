// The simple values, the indirect twins and references: construction,
// writing and text forms.
#include "pdf/errors.h"
#include "pdf/messages.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_item_slot.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_rectangle.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf {
namespace {

void CheckName(const std::string &value) {
    if (value.empty() || value[0] != '/') throw ArgumentException(Messages::NameMustStartWithSlash, "value");
}

}  // namespace

void PdfBoolean::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }
void PdfInteger::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }
void PdfUInteger::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }
void PdfReal::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }
std::string PdfReal::ToString() const { return FormatReal(value_); }
void PdfLiteral::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }
void PdfNull::WriteObject(IO::PdfWriter &writer) const { writer.WriteRaw(" null "); }
void PdfRectangle::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }

std::string PdfRectangle::ToString() const {
    return "[" + FormatReal(x1_) + " " + FormatReal(y1_) + " " + FormatReal(x2_) + " " + FormatReal(y2_) + "]";
}

PdfName::PdfName(std::string value) : value_(std::move(value)) { CheckName(value_); }

void PdfName::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }

void PdfReference::WriteObject(IO::PdfWriter &writer) const { writer.Write(*this); }

PdfObject *PdfReference::ReadableValue() const {
    Value();
    if (IsDamaged()) throw PdfReaderException(Messages::DamagedObject(id_.ToString()));
    return value_;
}

// Cleared first: the object is read once, also when reading it fails.
void PdfReference::LoadDeferred() const {
    deferred_ = false;
    if (document_ != nullptr) document_->LoadDeferred(const_cast<PdfReference &>(*this));
}

std::unique_ptr<PdfItem> PdfReference::Clone() const {
    throw InvalidOperationException("A reference is shared by its containers and cannot be cloned.");
}

// The twins write like their direct values, framed as indirect objects
// when they have a number.
namespace {

template <class Value>
void WriteTwin(IO::PdfWriter &writer, const PdfObject &object, const Value &value) {
    if (object.IsIndirect()) writer.WriteBeginObject(object);
    value.WriteObject(writer);
    if (object.IsIndirect()) writer.WriteEndObject();
}

}  // namespace

void PdfBooleanObject::WriteObject(IO::PdfWriter &writer) const { WriteTwin(writer, *this, PdfBoolean(value_)); }
void PdfIntegerObject::WriteObject(IO::PdfWriter &writer) const { WriteTwin(writer, *this, PdfInteger(value_)); }
void PdfUIntegerObject::WriteObject(IO::PdfWriter &writer) const {
    WriteTwin(writer, *this, PdfUInteger(value_));
}
void PdfRealObject::WriteObject(IO::PdfWriter &writer) const { WriteTwin(writer, *this, PdfReal(value_)); }
std::string PdfRealObject::ToString() const { return FormatReal(value_); }
void PdfStringObject::WriteObject(IO::PdfWriter &writer) const { WriteTwin(writer, *this, value_); }
void PdfNullObject::WriteObject(IO::PdfWriter &writer) const { WriteTwin(writer, *this, PdfNull()); }

PdfNameObject::PdfNameObject(std::string value, PdfDocument *document)
    : PdfObject(document), value_(std::move(value)) {
    CheckName(value_);
}

void PdfNameObject::WriteObject(IO::PdfWriter &writer) const { WriteTwin(writer, *this, PdfName(value_)); }

// PdfObject

PdfObject::PdfObject(PdfObject &&other) noexcept
    : PdfItem(other), document_(other.document_), reference_(other.reference_) {
    other.reference_ = nullptr;
    if (reference_ != nullptr) reference_->value_ = this;
}

void PdfObject::SetOwner(PdfDocument *document) {
    if (document_ != nullptr && document_ != document) throw InvalidOperationException("Cannot change document.");
    document_ = document;
}

PdfObjectID PdfObject::ObjectID() const { return reference_ != nullptr ? reference_->ObjectID() : PdfObjectID(); }

// PdfItemSlot

static_assert(alignof(PdfItem) > 1 && alignof(PdfReference) > 1, "the slot marks references in the lowest bit");

PdfItemSlot::PdfItemSlot(std::unique_ptr<PdfItem> item) {
    if (item == nullptr) throw ArgumentNullException("value");
    if (item->IsReference()) {
        throw ArgumentException("A reference belongs to its reference table and cannot be stored by value.",
                                "value");
    }
    bits_ = reinterpret_cast<std::uintptr_t>(item.release());
}

PdfItemSlot::PdfItemSlot(PdfReference *reference) {
    if (reference == nullptr) throw ArgumentNullException("value");
    bits_ = reinterpret_cast<std::uintptr_t>(reference) | kReferenceBit;
}

PdfItem *PdfItemSlot::Get() const {
    if (PdfReference *reference = Reference()) return reference;
    return reinterpret_cast<PdfItem *>(bits_);
}

void PdfItemSlot::ReplaceOwned(std::unique_ptr<PdfItem> item) {
    Release();
    bits_ = reinterpret_cast<std::uintptr_t>(item.release());
}

void PdfItemSlot::DeleteOwned() noexcept { delete reinterpret_cast<PdfItem *>(bits_); }

PdfItemSlot PdfItemSlot::Clone() const {
    if (PdfReference *reference = Reference()) return PdfItemSlot(reference);
    return PdfItemSlot(Get()->Clone());
}

}  // namespace ZavorPdf::Pdf
