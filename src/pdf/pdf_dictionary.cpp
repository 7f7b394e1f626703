#include "pdf/pdf_dictionary.h"

#include "pdf/errors.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/filters/predictor.h"
#include "pdf/item_access.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf {

PdfDictionary::PdfDictionary(PdfDocument *document) : PdfObject(Kind::Dictionary, document), elements_(this) {}

PdfDictionary::PdfDictionary(const PdfDictionary &other) : PdfObject(other), elements_(other.elements_, this) {
    if (other.stream_ != nullptr) stream_ = std::make_unique<PdfStream>(this, other.stream_->value_);
}

PdfDictionary::PdfDictionary(PdfDictionary &&other) noexcept
    : PdfObject(std::move(other)), elements_(std::move(other.elements_), this), stream_(std::move(other.stream_)) {
    if (stream_ != nullptr) stream_->owner_ = this;
}

PdfDictionary::~PdfDictionary() = default;

PdfStream &PdfDictionary::CreateStream(std::vector<std::uint8_t> bytes) {
    if (stream_ != nullptr) throw InvalidOperationException("The dictionary already has a stream.");
    stream_ = std::make_unique<PdfStream>(this, std::vector<std::uint8_t>());
    stream_->SetValue(std::move(bytes));
    return *stream_;
}

void PdfDictionary::RemoveStream() { stream_.reset(); }

void PdfDictionary::WriteObject(IO::PdfWriter &writer) const {
    writer.WriteBeginObject(*this);
    for (const auto &entry : elements_.Entries()) {
        writer.WriteName(entry.key);
        entry.value.Get()->WriteObject(writer);
        writer.NewLine();
    }
    if (stream_ != nullptr) writer.WriteStream(*this);
    writer.WriteEndObject();
}

std::string PdfDictionary::ToString() const {
    std::string text = "<<";
    for (const auto &entry : elements_.Entries()) text += entry.key + " " + entry.value.Get()->ToString() + " ";
    return text + ">>";
}

// PdfStream

PdfStream::PdfStream(PdfDictionary *owner, std::vector<std::uint8_t> value)
    : owner_(owner), value_(std::move(value)) {}

void PdfStream::SetValue(std::vector<std::uint8_t> value) {
    value_ = std::move(value);
    owner_->Elements().SetInteger("/Length", static_cast<std::int32_t>(value_.size()));
}

namespace {

// A filter name we do not know at all, or data that its filter refuses, is
// as undecodable as a known filter that we cannot decode. A file that has
// spent its budget is not: its next stream would be refused again.
std::optional<std::vector<std::uint8_t>> TryDecode(const std::vector<std::uint8_t> &data, PdfItem *filter,
                                                   PdfItem *decodeParms, PdfDocument *document) {
    try {
        auto decoded = Filters::Filtering::Decode(data, filter, document != nullptr ? &document->Budget() : nullptr);
        if (!decoded) return std::nullopt;
        return Filters::Predictor::Undo(std::move(*decoded), Filters::Predictor::LastFilterParms(decodeParms));
    } catch (const ReadBudgetExceededException &) {
        throw;
    } catch (const ZavorPdfException &) {
        return std::nullopt;
    }
}

}  // namespace

std::vector<std::uint8_t> PdfStream::UnfilteredValue() const {
    PdfItem *filter = owner_->Elements()["/Filter"];
    if (filter == nullptr) return value_;
    PdfItem *parms = owner_->Elements()["/DecodeParms"];
    if (auto decoded = TryDecode(value_, filter, parms, owner_->Owner())) return std::move(*decoded);
    // The text names the filter; its guillemets are single bytes, as every
    // text made into stream bytes here.
    PdfItem *resolved = Internal::Resolve(filter);
    std::string text = "\xAB" "Cannot decode filter '" + (resolved != nullptr ? resolved->ToString() : "null") +
                       "'\xBB";
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool PdfStream::TryUnfilter() {
    PdfItem *filter = owner_->Elements()["/Filter"];
    if (filter == nullptr) return true;
    auto decoded = TryDecode(value_, filter, owner_->Elements()["/DecodeParms"], owner_->Owner());
    if (!decoded) return false;
    owner_->Elements().Remove("/Filter");
    owner_->Elements().Remove("/DecodeParms");
    SetValue(std::move(*decoded));
    return true;
}

void PdfStream::Zip() {
    if (owner_->Elements().ContainsKey("/Filter")) return;
    std::vector<std::uint8_t> encoded = Filters::Filtering::FlateDecode().Encode(value_);
    owner_->Elements().SetName("/Filter", "/FlateDecode");
    SetValue(std::move(encoded));
}

}  // namespace ZavorPdf::Pdf
