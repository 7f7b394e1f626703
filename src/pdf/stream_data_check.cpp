#include "pdf/stream_data_check.h"

#include <string>

#include "pdf/errors.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/item_access.h"
#include "pdf/messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/read_budget.h"
#include "platform/flate_codec.h"

namespace ZavorPdf::Pdf {
namespace {

using Filters::FlateDecode;
using Bytes = std::vector<std::uint8_t>;

// The filter names in the order they apply; nothing for a value that is no
// name or array of names.
std::optional<std::vector<std::string>> FilterNames(const PdfDictionary &stream) {
    const PdfItem *item = Internal::Resolve(stream.Elements()["/Filter"]);
    if (item == nullptr) return std::vector<std::string>{};
    if (auto *name = dynamic_cast<const PdfName *>(item)) return std::vector<std::string>{name->Value()};
    auto *array = dynamic_cast<const PdfArray *>(item);
    if (array == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (int i = 0; i < array->Elements().Count(); ++i) {
        auto *element = dynamic_cast<const PdfName *>(Internal::Resolve(array->Elements()[i]));
        if (element == nullptr) return std::nullopt;
        names.push_back(element->Value());
    }
    return names;
}

bool IsFlate(const std::string &name) { return name == "/FlateDecode" || name == "/Fl"; }
bool IsDct(const std::string &name) { return name == "/DCTDecode" || name == "/DCT"; }

// Flate data is inflated without keeping its output unless asked to, so
// that a large image costs no memory. Output that is kept counts against
// the file's budget and stops growing where the budget ends; data only
// checked costs time, not memory, and stays under the filter's own limit,
// so that a long scanned book can still be imported.
void CheckFlate(const Bytes &data, Bytes *output, ReadBudget *budget) {
    std::size_t limit = FlateDecode::DefaultDecodedLimit;
    if (output == nullptr) budget = nullptr;
    bool budgetLimits = budget != nullptr && budget->DecodedRoom() < limit;
    if (budgetLimits) limit = budget->DecodedRoom();
    try {
        ZavorPlatform::CheckInflate(data, limit, output);
    } catch (const ZavorPlatform::FlateError &error) {
        if (error.GetKind() == ZavorPlatform::FlateError::Kind::Failed)
            throw ZavorPdfException(std::string("Flate decompression failed: ") + error.what());
        if (budgetLimits && error.GetKind() == ZavorPlatform::FlateError::Kind::LimitExceeded)
            budget->RefuseDecoded();
        throw PdfReaderException(error.what());
    }
    if (budget != nullptr) budget->ChargeDecoded(output->size());
}

// Whether the output of a last Flate layer is wanted or only checked.
enum class LastFlate { Checked, Kept };

// Applies the filters; nothing at the first one that is not decoded here.
// DCT data is not judged: viewers show what a damaged picture still holds,
// and the copy stays as readable as the original.
std::optional<Bytes> DecodeLayers(Bytes data, const std::vector<std::string> &names, LastFlate lastFlate,
                                  ReadBudget *budget) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string &name = names[i];
        bool last = i + 1 == names.size();
        if (IsDct(name)) return std::nullopt;
        if (IsFlate(name)) {
            Bytes inflated;
            CheckFlate(data, last && lastFlate == LastFlate::Checked ? nullptr : &inflated, budget);
            data = std::move(inflated);
            continue;
        }
        // Fails for a name no one knows; nothing for one we do not decode.
        if (Filters::Filtering::GetFilter(name) == nullptr) return std::nullopt;
        std::optional<Bytes> decoded = Filters::Filtering::Decode(data, name);
        if (!decoded) return std::nullopt;
        if (budget != nullptr) budget->ChargeDecoded(decoded->size());
        data = std::move(*decoded);
    }
    return data;
}

}  // namespace

void CheckStreamData(const PdfDictionary &stream) {
    if (stream.Stream() == nullptr) return;
    std::optional<std::vector<std::string>> names = FilterNames(stream);
    if (!names || names->empty()) return;
    PdfDocument *source = stream.Owner();
    try {
        // Layers before the last are held in memory, and charged for it.
        DecodeLayers(stream.Stream()->Value(), *names, LastFlate::Checked,
                     source != nullptr ? &source->Budget() : nullptr);
    } catch (const ReadBudgetExceededException &) {
        throw;
    } catch (const PdfReaderException &) {
        throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    } catch (const NotImplementedException &) {
        // A filter no one knows: its data is nobody's to judge.
    }
}

std::optional<std::vector<std::uint8_t>> DecodeContentData(const PdfDictionary &stream, ReadBudget *budget) {
    if (stream.Stream() == nullptr) return Bytes{};
    std::optional<std::vector<std::string>> names = FilterNames(stream);
    if (!names) throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    try {
        return DecodeLayers(stream.Stream()->Value(), *names, LastFlate::Kept, budget);
    } catch (const ReadBudgetExceededException &) {
        throw;
    } catch (const ZavorPdfException &) {
        throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    }
}

}  // namespace ZavorPdf::Pdf
