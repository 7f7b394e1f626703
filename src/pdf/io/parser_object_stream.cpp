// Object streams: many small objects compressed together in one stream,
// placed there by a cross-reference stream.
#include <utility>

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/io/reader_messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"

namespace ZavorPdf::Pdf::IO {

namespace {

void MarkDamaged(PdfReferenceTable &table, PdfObjectID id) {
    if (PdfReference *reference = table[id]; reference != nullptr && reference->LoadedValue() == nullptr)
        reference->MarkDamaged();
}

bool IsObjectStream(PdfReference *reference) {
    auto *dictionary = reference != nullptr ? dynamic_cast<PdfDictionary *>(reference->Value()) : nullptr;
    if (dictionary == nullptr || dictionary->Stream() == nullptr) return false;
    auto *type = dynamic_cast<PdfName *>(dictionary->Elements()["/Type"]);
    return type != nullptr && type->Value() == "/ObjStm";
}

}  // namespace

void Parser::ReadCompressedObjects() {
    // Pairs of index and object number, by stream.
    std::map<std::int32_t, std::vector<std::pair<std::int32_t, std::int32_t>>> byStream;
    for (const auto &[number, entry] : compressed_) byStream[entry.stream].emplace_back(entry.index, number);
    PdfReferenceTable &table = document_.ReferenceTable();
    for (const auto &[stream, members] : byStream) {
        try {
            ReadObjectStream(stream, members);
        } catch (const ReadBudgetExceededException &) {
            throw;
        } catch (const ZavorPdfException &) {
            for (const auto &member : members) MarkDamaged(table, PdfObjectID(member.second, 0));
        }
        // Any other object that an entry names as an object stream stays.
        if (IsObjectStream(table[PdfObjectID(stream, 0)])) table.Remove(PdfObjectID(stream, 0));
    }
}

std::int32_t Parser::ObjectStreamOf(PdfObjectID id) const {
    if (id.GenerationNumber() != 0) return 0;
    auto found = compressed_.find(id.ObjectNumber());
    return found != compressed_.end() ? found->second.stream : 0;
}

void Parser::ReadObjectStreamMembers(std::int32_t stream) {
    if (membersByStream_.empty())
        for (const auto &[number, entry] : compressed_)
            membersByStream_[entry.stream].emplace_back(entry.index, number);
    auto found = membersByStream_.find(stream);
    if (found == membersByStream_.end()) return;
    PdfReferenceTable &table = document_.ReferenceTable();
    std::vector<std::pair<std::int32_t, std::int32_t>> members;
    for (const auto &member : found->second) {
        PdfReference *reference = table[PdfObjectID(member.second, 0)];
        if (reference == nullptr || reference->LoadedValue() != nullptr) continue;
        // Read now or never: a member that fails here fails for good.
        reference->SetDeferred(false);
        members.push_back(member);
    }
    try {
        ReadObjectStream(stream, members);
    } catch (const ZavorPdfException &) {
        for (const auto &member : members) MarkDamaged(table, PdfObjectID(member.second, 0));
        throw;
    }
}

// The stream must be an ordinary object: one placed in another object
// stream could lead back to itself.
void Parser::ReadObjectStream(std::int32_t stream,
                              const std::vector<std::pair<std::int32_t, std::int32_t>> &members) {
    constexpr const char *damaged = ReaderMessages::ObjectStreamDamaged;
    PdfReferenceTable &table = document_.ReferenceTable();
    PdfReference *reference = table[PdfObjectID(stream, 0)];
    if (compressed_.contains(stream) || !IsObjectStream(reference)) throw PdfReaderException(damaged);
    auto &dictionary = static_cast<PdfDictionary &>(*reference->Value());
    auto *count = dynamic_cast<PdfInteger *>(dictionary.Elements()["/N"]);
    auto *first = dynamic_cast<PdfInteger *>(dictionary.Elements()["/First"]);
    if (count == nullptr || first == nullptr) throw PdfReaderException(damaged);
    std::vector<std::uint8_t> data = DecodedStream(dictionary, damaged);
    // Every pair in the header takes at least four bytes ("1 0 ").
    if (first->Value() < 0 || static_cast<std::size_t>(first->Value()) > data.size() || count->Value() < 0 ||
        count->Value() > first->Value() / 4 + 1)
        throw PdfReaderException(damaged);
    document_.Budget().AllowItemsFor(data.size());
    Parser inner(document_, std::move(data));
    std::vector<std::pair<std::int32_t, std::int32_t>> header = inner.ReadObjectStreamHeader(count->Value());
    for (const auto &[index, number] : members) {
        PdfObjectID id(number, 0);
        auto place = static_cast<std::size_t>(index);
        try {
            if (place >= header.size() || header[place].first != number)
                throw PdfReaderException(ReaderMessages::ObjectMismatch(id.ToString()));
            inner.ReadStreamedObject(id, std::int64_t{first->Value()} + header[place].second);
        } catch (const ReadBudgetExceededException &) {
            throw;
        } catch (const ZavorPdfException &) {
            MarkDamaged(table, id);
        }
    }
}

// Pairs of object number and offset after "/First".
std::vector<std::pair<std::int32_t, std::int32_t>> Parser::ReadObjectStreamHeader(std::int32_t count) {
    std::vector<std::pair<std::int32_t, std::int32_t>> header;
    lexer_.SetPosition(0);
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t number = ExpectInteger();
        std::int32_t offset = ExpectInteger();
        if (offset < 0) throw PdfReaderException(ReaderMessages::ObjectStreamDamaged);
        header.emplace_back(number, offset);
    }
    return header;
}

// The objects have no "obj" and "endobj" around them; a stream cannot be
// among them, since its length could not be told from its place.
void Parser::ReadStreamedObject(PdfObjectID id, std::int64_t position) {
    if (position >= lexer_.PdfLength()) throw PdfReaderException(ReaderMessages::ObjectStreamDamaged);
    stack_.Reduce(stack_.SP());
    lexer_.SetPosition(static_cast<std::int32_t>(position));
    Symbol symbol = lexer_.ScanNextToken();
    std::unique_ptr<PdfObject> value;
    if (symbol == Symbol::BeginArray) {
        auto array = std::make_unique<PdfArray>(&document_);
        ReadArray(*array);
        value = std::move(array);
    } else if (symbol == Symbol::BeginDictionary) {
        auto dictionary = std::make_unique<PdfDictionary>(&document_);
        ReadDictionary(*dictionary);
        if (lexer_.ScanNextToken() == Symbol::BeginStream)
            throw PdfReaderException(ReaderMessages::StreamInObjectStream);
        value = std::move(dictionary);
    } else {
        value = ReadSimpleObject(symbol);
    }
    document_.ReferenceTable().Add(id, std::move(value));
}

}  // namespace ZavorPdf::Pdf::IO
