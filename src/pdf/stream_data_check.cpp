#include "pdf/stream_data_check.h"

#include <string>

#include "pdf/errors.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/item_access.h"
#include "pdf/messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_name.h"
#include "platform/flate_codec.h"
#include "platform/image_decoder.h"

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
// that a large image costs no memory.
void CheckFlate(const Bytes &data, Bytes *output) {
    try {
        ZavorPlatform::CheckInflate(data, FlateDecode::DefaultDecodedLimit, output);
    } catch (const ZavorPlatform::FlateError &error) {
        if (error.GetKind() == ZavorPlatform::FlateError::Kind::Failed)
            throw ZavorPdfException(std::string("Flate decompression failed: ") + error.what());
        throw PdfReaderException(error.what());
    }
}

void CheckJpeg(const Bytes &data) {
    try {
        ZavorPlatform::DecodeImage(data);
    } catch (const ZavorPlatform::ImageError &error) {
        using Kind = ZavorPlatform::ImageError::Kind;
        if (error.GetKind() == Kind::Damaged || error.GetKind() == Kind::UnknownFormat)
            throw PdfReaderException(error.what());
    }
}

// Whether the output of a last Flate layer is wanted or only checked.
enum class LastFlate { Checked, Kept };

// Applies the filters; nothing at the first one that is not decoded here.
// DCT data is checked, not decoded.
std::optional<Bytes> DecodeLayers(Bytes data, const std::vector<std::string> &names, LastFlate lastFlate) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string &name = names[i];
        bool last = i + 1 == names.size();
        if (IsDct(name)) {
            CheckJpeg(data);
            return std::nullopt;
        }
        if (IsFlate(name)) {
            Bytes inflated;
            CheckFlate(data, last && lastFlate == LastFlate::Checked ? nullptr : &inflated);
            data = std::move(inflated);
            continue;
        }
        // Fails for a name no one knows; nothing for one we do not decode.
        if (Filters::Filtering::GetFilter(name) == nullptr) return std::nullopt;
        std::optional<Bytes> decoded = Filters::Filtering::Decode(data, name);
        if (!decoded) return std::nullopt;
        data = std::move(*decoded);
    }
    return data;
}

}  // namespace

void CheckStreamData(const PdfDictionary &stream) {
    if (stream.Stream() == nullptr) return;
    std::optional<std::vector<std::string>> names = FilterNames(stream);
    if (!names || names->empty()) return;
    try {
        DecodeLayers(stream.Stream()->Value(), *names, LastFlate::Checked);
    } catch (const PdfReaderException &) {
        throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    } catch (const NotImplementedException &) {
        // A filter no one knows: its data is nobody's to judge.
    }
}

std::optional<std::vector<std::uint8_t>> DecodeContentData(const PdfDictionary &stream) {
    if (stream.Stream() == nullptr) return Bytes{};
    std::optional<std::vector<std::string>> names = FilterNames(stream);
    if (!names) throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    try {
        return DecodeLayers(stream.Stream()->Value(), *names, LastFlate::Kept);
    } catch (const ZavorPdfException &) {
        throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    }
}

}  // namespace ZavorPdf::Pdf
