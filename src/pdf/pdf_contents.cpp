#include "pdf/pdf_contents.h"

#include "pdf/errors.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_reference.h"

namespace ZavorPdf::Pdf {
namespace {

constexpr const char *kUnexpectedItem = "Unexpected item in a content stream array.";

std::vector<std::uint8_t> Text(std::string_view text) { return {text.begin(), text.end()}; }

bool StartsWithSave(const std::vector<std::uint8_t> &bytes) {
    return bytes.size() >= 2 && bytes[0] == 'q' && bytes[1] == '\n';
}

}  // namespace

void PdfContents::CheckElements(const PdfArray &array) {
    for (int i = 0; i < array.Elements().Count(); ++i) {
        PdfReference *reference = array.Elements().GetReference(i);
        auto *stream = reference ? dynamic_cast<PdfDictionary *>(reference->Value()) : nullptr;
        if (stream == nullptr || stream->Stream() == nullptr)
            throw InvalidOperationException(kUnexpectedItem);
    }
}

PdfContents::PdfContents(PdfArray &&array) : PdfArray((CheckElements(array), std::move(array))) {
    for (int i = 0; i < Elements().Count(); ++i) {
        PdfReference *reference = Elements().GetReference(i);
        auto *stream = dynamic_cast<PdfDictionary *>(reference->Value());
        if (dynamic_cast<PdfContent *>(stream) == nullptr)
            Owner()->ReferenceTable().ReplaceObject(*reference, std::make_unique<PdfContent>(std::move(*stream)));
    }
}

PdfContent &PdfContents::ContentAt(int index) const {
    auto *content = dynamic_cast<PdfContent *>(Elements().GetObject(index));
    if (content == nullptr)
        throw InvalidOperationException(kUnexpectedItem);
    return *content;
}

void PdfContents::ProtectExistingContent() {
    if (modified_)
        return;
    modified_ = true;
    int count = Count();
    if (count == 1) {
        PdfContent &only = ContentAt(0);
        if (!only.Decode() || StartsWithSave(only.Bytes()))
            return;
        std::vector<std::uint8_t> wrapped = Text("q\n");
        wrapped.insert(wrapped.end(), only.Bytes().begin(), only.Bytes().end());
        auto tail = Text(" Q\n");
        wrapped.insert(wrapped.end(), tail.begin(), tail.end());
        only.SetBytes(std::move(wrapped));
    } else if (count >= 2) {
        PdfContent &first = ContentAt(0);
        PdfContent &last = ContentAt(count - 1);
        if (!first.Decode() || !last.Decode())
            return;
        std::vector<std::uint8_t> opened = Text("q\n");
        opened.insert(opened.end(), first.Bytes().begin(), first.Bytes().end());
        first.SetBytes(std::move(opened));
        last.Append(Text(" Q\n"));
    }
}

PdfContent &PdfContents::NewContent() {
    auto content = std::make_unique<PdfContent>(Owner());
    PdfContent &added = *content;
    Owner()->ReferenceTable().Add(std::move(content));
    return added;
}

PdfContent &PdfContents::AppendContent() {
    ProtectExistingContent();
    PdfContent &content = NewContent();
    Elements().AddReference(content);
    return content;
}

PdfContent &PdfContents::PrependContent() {
    ProtectExistingContent();
    PdfContent &content = NewContent();
    // Rebuilt in order: the new stream, then the old ones.
    std::vector<PdfReference *> old;
    for (int i = 0; i < Count(); ++i)
        old.push_back(Elements().GetReference(i));
    Elements().Clear();
    Elements().AddReference(content);
    for (PdfReference *reference : old)
        Elements().AddReference(reference);
    return content;
}

std::unique_ptr<PdfContent> PdfContents::CreateSingleContent() const {
    std::vector<std::uint8_t> joined;
    for (int i = 0; i < Count(); ++i) {
        std::vector<std::uint8_t> bytes = ContentAt(i).DecodedBytes();
        joined.insert(joined.end(), bytes.begin(), bytes.end());
        joined.push_back('\n');
    }
    auto single = std::make_unique<PdfContent>(Owner());
    single->SetBytes(std::move(joined));
    return single;
}

}  // namespace ZavorPdf::Pdf
