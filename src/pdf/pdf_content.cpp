#include "pdf/pdf_content.h"

#include <utility>

#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

// Puts the decoded bytes back after the compressed ones were written, also
// when writing fails.
class RestoreDecoded {
public:
    RestoreDecoded(PdfContent &content, std::vector<std::uint8_t> decoded)
        : content_(content), decoded_(std::move(decoded)) {}
    ~RestoreDecoded() {
        content_.Elements().Remove(PdfContent::Keys::Filter);
        content_.Stream()->SetValue(std::move(decoded_));
    }
    RestoreDecoded(const RestoreDecoded &) = delete;
    RestoreDecoded &operator=(const RestoreDecoded &) = delete;

private:
    PdfContent &content_;
    std::vector<std::uint8_t> decoded_;
};

const std::vector<std::uint8_t> kNoBytes;

}  // namespace

const DictionaryMeta &PdfContent::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Length, KeyType::Integer | KeyType::Required),
        KeyDescriptor(Filter, KeyType::NameOrArray | KeyType::Optional),
        KeyDescriptor(DecodeParms, KeyType::ArrayOrDictionary | KeyType::Optional),
    });
    return meta;
}

PdfContent::PdfContent(PdfDocument *document) : PdfDictionary(document) { CreateStream({}); }

PdfContent::PdfContent(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {
    if (Stream() == nullptr)
        CreateStream({});
    else
        Stream()->TryUnfilter();
}

const std::vector<std::uint8_t> &PdfContent::Bytes() const { return Stream() ? Stream()->Value() : kNoBytes; }

void PdfContent::SetBytes(std::vector<std::uint8_t> bytes) { Stream()->SetValue(std::move(bytes)); }

void PdfContent::Append(const std::vector<std::uint8_t> &bytes) {
    std::vector<std::uint8_t> joined = Stream()->Value();
    joined.insert(joined.end(), bytes.begin(), bytes.end());
    Stream()->SetValue(std::move(joined));
}

std::vector<std::uint8_t> PdfContent::DecodedBytes() const { return Stream()->UnfilteredValue(); }

bool PdfContent::ShouldCompress() const {
    return Owner() != nullptr && Owner()->Options().CompressContentStreams() && !IsFiltered();
}

void PdfContent::WriteObject(IO::PdfWriter &writer) const {
    // The writer sees objects as const; a content object finishes and
    // compresses itself for the duration of the write only.
    auto &self = const_cast<PdfContent &>(*this);
    if (renderer_ != nullptr)
        renderer_->Close();
    if (!ShouldCompress()) {
        PdfDictionary::WriteObject(writer);
        return;
    }
    std::vector<std::uint8_t> compressed = Filters::Filtering::FlateDecode().Encode(Bytes());
    RestoreDecoded restore(self, Stream()->Value());
    self.Stream()->SetValue(std::move(compressed));
    self.Elements().SetName(Keys::Filter, "/FlateDecode");
    PdfDictionary::WriteObject(writer);
}

}  // namespace ZavorPdf::Pdf
