#include "pdf/pdf_content.h"

#include <utility>

#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {

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
    if (Stream() == nullptr) {
        CreateStream({});
        return;
    }
    // Must not throw: the dictionary has already moved here. A stream past
    // its file's budget stays encoded, and whoever needs its bytes meets
    // the refusal.
    try {
        Stream()->TryUnfilter();
    } catch (const ReadBudgetExceededException &) {
    }
}

const std::vector<std::uint8_t> &PdfContent::Bytes() {
    Decode();
    return Stream()->Value();
}

bool PdfContent::Decode() { return !IsFiltered() || Stream()->TryUnfilter(); }

void PdfContent::SetBytes(std::vector<std::uint8_t> bytes) {
    Elements().Remove(Keys::Filter);
    Elements().Remove(Keys::DecodeParms);
    Stream()->SetValue(std::move(bytes));
}

void PdfContent::Append(const std::vector<std::uint8_t> &bytes) {
    Decode();
    std::vector<std::uint8_t> joined = Stream()->Value();
    joined.insert(joined.end(), bytes.begin(), bytes.end());
    Stream()->SetValue(std::move(joined));
}

std::vector<std::uint8_t> PdfContent::DecodedBytes() const { return Stream()->UnfilteredValue(); }

void PdfContent::WriteObject(IO::PdfWriter &writer) const {
    // The writer sees objects as const; a content object finishes and
    // compresses itself as part of being written.
    auto &self = const_cast<PdfContent &>(*this);
    if (renderer_ != nullptr)
        renderer_->Close();
    if (Owner() != nullptr && Owner()->Options().CompressContentStreams())
        self.Stream()->Zip();
    else
        self.Decode();
    PdfDictionary::WriteObject(writer);
}

}  // namespace ZavorPdf::Pdf
