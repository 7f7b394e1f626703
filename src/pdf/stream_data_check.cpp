#include "pdf/stream_data_check.h"

#include <optional>
#include <string>
#include <vector>

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

// The filter names in the order they apply; a value that is no name or
// array of names gives none.
std::vector<std::string> FilterNames(const PdfItem *filter) {
    const PdfItem *item = Internal::Resolve(const_cast<PdfItem *>(filter));
    if (auto *name = dynamic_cast<const PdfName *>(item)) return {name->Value()};
    std::vector<std::string> names;
    if (auto *array = dynamic_cast<const PdfArray *>(item)) {
        for (int i = 0; i < array->Elements().Count(); ++i) {
            auto *element = dynamic_cast<const PdfName *>(Internal::Resolve(array->Elements()[i]));
            if (element == nullptr) return {};
            names.push_back(element->Value());
        }
    }
    return names;
}

bool IsFlate(const std::string &name) { return name == "/FlateDecode" || name == "/Fl"; }
bool IsDct(const std::string &name) { return name == "/DCTDecode" || name == "/DCT"; }
bool IsAscii(const std::string &name) {
    return name == "/ASCIIHexDecode" || name == "/AHx" || name == "/ASCII85Decode" || name == "/A85";
}

// Flate data is inflated without keeping its output, so that a large
// image costs no memory, unless a DCT layer after it needs the output.
void CheckFlate(const std::vector<std::uint8_t> &data, std::vector<std::uint8_t> *output) {
    try {
        ZavorPlatform::CheckInflate(data, FlateDecode::DefaultDecodedLimit, output);
    } catch (const ZavorPlatform::FlateError &error) {
        if (error.GetKind() != ZavorPlatform::FlateError::Kind::Failed) throw PdfReaderException(error.what());
        if (output != nullptr) output->clear();
    }
}

void CheckJpeg(const std::vector<std::uint8_t> &data) {
    try {
        ZavorPlatform::DecodeImage(data);
    } catch (const ZavorPlatform::ImageError &error) {
        using Kind = ZavorPlatform::ImageError::Kind;
        if (error.GetKind() == Kind::Damaged || error.GetKind() == Kind::UnknownFormat)
            throw PdfReaderException(error.what());
    }
}

// Layers are checked up to the first one that we do not decode.
void CheckLayers(std::vector<std::uint8_t> data, const std::vector<std::string> &names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string &name = names[i];
        if (IsDct(name)) return CheckJpeg(data);
        if (IsFlate(name)) {
            bool dctNext = i + 1 < names.size() && IsDct(names[i + 1]);
            std::vector<std::uint8_t> inflated;
            CheckFlate(data, dctNext ? &inflated : nullptr);
            if (inflated.empty()) return;
            data = std::move(inflated);
            continue;
        }
        if (!IsAscii(name)) return;
        std::optional<std::vector<std::uint8_t>> decoded = Filters::Filtering::Decode(data, name);
        if (!decoded) return;
        data = std::move(*decoded);
    }
}

}  // namespace

void CheckStreamData(const PdfDictionary &stream) {
    if (stream.Stream() == nullptr) return;
    std::vector<std::string> names = FilterNames(stream.Elements()["/Filter"]);
    if (names.empty()) return;
    try {
        CheckLayers(stream.Stream()->Value(), names);
    } catch (const PdfReaderException &) {
        throw PdfReaderException(Messages::DamagedStream(stream.ObjectID().ToString()));
    }
}

}  // namespace ZavorPdf::Pdf
