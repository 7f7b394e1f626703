#include "pdf/io/parser.h"

#include <algorithm>

#include "pdf/errors.h"
#include "pdf/io/reader_messages.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/pdf_string.h"
#include "pdf/ascii_case.h"

namespace ZavorPdf::Pdf::IO {

// Counts the arrays and dictionaries open at once, so that a file of
// nothing but "[[[[" fails before the stack does.
class Parser::NestingGuard {
public:
    explicit NestingGuard(int &nesting) : nesting_(nesting) {
        if (++nesting_ > MaxNesting) {
            --nesting_;
            throw PdfReaderException(ReaderMessages::NestedTooDeeply);
        }
    }
    NestingGuard(const NestingGuard &) = delete;
    NestingGuard &operator=(const NestingGuard &) = delete;
    ~NestingGuard() { --nesting_; }

private:
    int &nesting_;
};

Parser::Parser(PdfDocument &document, std::vector<std::uint8_t> bytes)
    : document_(document), lexer_(std::move(bytes)), stack_(document.Budget()) {}

Parser::Parser(PdfDocument &document, std::unique_ptr<ZavorPlatform::FileMapping> mapping)
    : document_(document), lexer_(std::move(mapping)), stack_(document.Budget()) {}

void Parser::FailUnexpected() const {
    if (lexer_.CurrentSymbol() == Symbol::Eof) throw PdfReaderException(ReaderMessages::UnexpectedEndOfFile);
    throw PdfReaderException(ReaderMessages::UnexpectedToken(lexer_.Token()));
}

void Parser::Expect(Symbol symbol) {
    if (lexer_.ScanNextToken() != symbol) FailUnexpected();
}

std::int32_t Parser::ExpectInteger() {
    Expect(Symbol::Integer);
    return lexer_.TokenToInteger();
}

void Parser::ParseObject(Symbol stop) {
    int frame = stack_.SP();
    for (;;) {
        Symbol symbol = lexer_.ScanNextToken();
        if (symbol == stop) return;
        switch (symbol) {
        case Symbol::Eof:
            throw PdfReaderException(ReaderMessages::UnexpectedEndOfFile);
        case Symbol::R:
            ReduceReference(frame);
            break;
        case Symbol::BeginArray: {
            auto array = std::make_unique<PdfArray>(&document_);
            ReadArray(*array);
            stack_.Shift(std::move(array));
            break;
        }
        case Symbol::BeginDictionary: {
            auto dictionary = std::make_unique<PdfDictionary>(&document_);
            ReadDictionary(*dictionary);
            stack_.Shift(std::move(dictionary));
            break;
        }
        case Symbol::BeginStream:
            throw NotImplementedException(ReaderMessages::NotImplemented);
        default:
            ShiftSimple(symbol);  // keywords and stray brackets are skipped
            break;
        }
    }
}

void Parser::ShiftSimple(Symbol symbol) {
    switch (symbol) {
    case Symbol::Null: stack_.Shift(std::make_unique<PdfNull>()); break;
    case Symbol::Boolean: stack_.Shift(std::make_unique<PdfBoolean>(lexer_.TokenToBoolean())); break;
    case Symbol::Integer: stack_.Shift(std::make_unique<PdfInteger>(lexer_.TokenToInteger())); break;
    case Symbol::UInteger: stack_.Shift(std::make_unique<PdfUInteger>(lexer_.TokenToUInteger())); break;
    case Symbol::Real: stack_.Shift(std::make_unique<PdfReal>(lexer_.TokenToReal())); break;
    case Symbol::String:
        stack_.Shift(std::make_unique<PdfString>(lexer_.StringValue(), PdfStringFlags::RawEncoding));
        break;
    case Symbol::UnicodeString:
        stack_.Shift(std::make_unique<PdfString>(lexer_.StringValue(), PdfStringFlags::Unicode));
        break;
    case Symbol::HexString:
        stack_.Shift(std::make_unique<PdfString>(lexer_.StringValue(), PdfStringFlags::HexLiteral));
        break;
    case Symbol::UnicodeHexString:
        stack_.Shift(std::make_unique<PdfString>(lexer_.StringValue(),
                                                 PdfStringFlags::Unicode | PdfStringFlags::HexLiteral));
        break;
    case Symbol::Name: stack_.Shift(std::make_unique<PdfName>(lexer_.Token())); break;
    default: break;
    }
}

// "n g R": the two integers below the R, if this array or dictionary has
// them, become the reference. An ID the table lacks is still unknown while
// the file is read; afterwards it names nothing and reads as null.
void Parser::ReduceReference(int frame) {
    if (stack_.SP() - frame < 2) return;
    auto *number = dynamic_cast<PdfInteger *>(stack_.GetItem(-2));
    auto *generation = dynamic_cast<PdfInteger *>(stack_.GetItem(-1));
    if (number == nullptr || generation == nullptr) return;
    PdfReferenceTable &table = document_.ReferenceTable();
    bool valid = number->Value() > 0 && number->Value() <= MaxObjectNumber && generation->Value() >= 0 &&
                 generation->Value() <= 65535;
    if (!valid) return stack_.Reduce(std::make_unique<PdfNull>(), 2);
    PdfObjectID id(number->Value(), static_cast<std::uint16_t>(generation->Value()));
    if (PdfReference *reference = table[id]) return stack_.Reduce(reference, 2);
    if (table.IsUnderConstruction()) return stack_.Reduce(table.GetOrCreateReference(id), 2);
    stack_.Reduce(std::make_unique<PdfNull>(), 2);
}

void Parser::ReadArray(PdfArray &array) {
    NestingGuard guard(nesting_);
    int start = stack_.SP();
    ParseObject(Symbol::EndArray);
    int count = stack_.SP() - start;
    std::vector<ShiftStack::Entry> items = stack_.ToArray(start, count);
    stack_.Reduce(count);
    for (auto &item : items) {
        if (item.reference != nullptr)
            array.Elements().AddReference(item.reference);
        else
            array.Elements().Add(std::move(item.owned));
    }
}

void Parser::ReadDictionary(PdfDictionary &dictionary) {
    NestingGuard guard(nesting_);
    int start = stack_.SP();
    ParseObject(Symbol::EndDictionary);
    int count = stack_.SP() - start;
    std::vector<ShiftStack::Entry> items = stack_.ToArray(start, count);
    stack_.Reduce(count);
    if (count % 2 != 0) throw PdfReaderException(ReaderMessages::NameExpected);
    for (std::size_t i = 0; i < items.size(); i += 2) {
        auto *name = dynamic_cast<PdfName *>(items[i].Get());
        if (name == nullptr) throw PdfReaderException(ReaderMessages::NameExpected);
        ShiftStack::Entry &value = items[i + 1];
        if (value.reference != nullptr)
            dictionary.Elements().SetReference(name->Value(), value.reference);
        else
            dictionary.Elements().SetValue(name->Value(), std::move(value.owned));
    }
}

void Parser::MoveToObject(PdfObjectID id) {
    PdfReference *reference = document_.ReferenceTable()[id];
    // Position 0 is the file header: the ID was only met in a reference.
    if (reference == nullptr || reference->Position() <= 0)
        throw PdfReaderException(ReaderMessages::ObjectNotInTable(id.ToString()));
    lexer_.SetPosition(reference->Position());
}

// A table entry that points at another object than its own would file that
// object under a wrong number.
void Parser::ReadObjectHeader(PdfObjectID id) {
    std::int32_t number = ExpectInteger();
    std::int32_t generation = ExpectInteger();
    Expect(Symbol::Obj);
    if (number != id.ObjectNumber() || generation != id.GenerationNumber())
        throw PdfReaderException(ReaderMessages::ObjectMismatch(id.ToString()));
}

PdfObject *Parser::ReadObject(std::unique_ptr<PdfObject> object, PdfObjectID id, ReadReferences references) {
    PdfObject *result = ReadOneObject(std::move(object), id);
    if (references == ReadReferences::Yes) ReadReferencedObjects(*result);
    return result;
}

// An object that the table places in the file but that fails to read is
// marked damaged, so that it is not taken for one the file lacks.
PdfObject *Parser::ReadOneObject(std::unique_ptr<PdfObject> object, PdfObjectID id) {
    stack_.Reduce(stack_.SP());
    MoveToObject(id);
    try {
        return ReadPlacedObject(std::move(object), id);
    } catch (const ZavorPdfException &) {
        document_.ReferenceTable()[id]->MarkDamaged();
        throw;
    }
}

PdfObject *Parser::ReadPlacedObject(std::unique_ptr<PdfObject> object, PdfObjectID id) {
    ReadObjectHeader(id);
    Symbol symbol = lexer_.ScanNextToken();
    std::unique_ptr<PdfObject> value;
    switch (symbol) {
    case Symbol::BeginArray: {
        std::unique_ptr<PdfArray> array(dynamic_cast<PdfArray *>(object.get()));
        if (array != nullptr)
            object.release();
        else
            array = std::make_unique<PdfArray>(&document_);
        ReadArray(*array);
        Expect(Symbol::EndObj);
        value = std::move(array);
        break;
    }
    case Symbol::BeginDictionary:
        value = ReadDictionaryObject(std::move(object));
        break;
    case Symbol::Keyword:
        throw NotImplementedException(ReaderMessages::KeywordObject);
    default:
        value = ReadSimpleObject(symbol);
        Expect(Symbol::EndObj);
        break;
    }
    return document_.ReferenceTable().Add(id, std::move(value))->Value();
}

std::unique_ptr<PdfObject> Parser::ReadDictionaryObject(std::unique_ptr<PdfObject> object) {
    std::unique_ptr<PdfDictionary> dictionary(dynamic_cast<PdfDictionary *>(object.get()));
    if (dictionary != nullptr)
        object.release();
    else
        dictionary = std::make_unique<PdfDictionary>(&document_);
    ReadDictionary(*dictionary);
    Symbol symbol = lexer_.ScanNextToken();
    if (symbol == Symbol::BeginStream) {
        ReadStreamData(*dictionary);
        Expect(Symbol::EndStream);
        Expect(Symbol::EndObj);
    } else if (symbol != Symbol::EndObj) {
        FailUnexpected();
    }
    return dictionary;
}

// Hex strings are read like literal ones: our own writer puts them into
// indirect objects, and refusing them would lose those objects.
std::unique_ptr<PdfObject> Parser::ReadSimpleObject(Symbol symbol) {
    switch (symbol) {
    case Symbol::Null: return std::make_unique<PdfNullObject>(&document_);
    case Symbol::Boolean: return std::make_unique<PdfBooleanObject>(EqualsIgnoringAsciiCase(lexer_.Token(), "true"), &document_);
    case Symbol::Integer: return std::make_unique<PdfIntegerObject>(lexer_.TokenToInteger(), &document_);
    case Symbol::UInteger: return std::make_unique<PdfUIntegerObject>(lexer_.TokenToUInteger(), &document_);
    case Symbol::Real: return std::make_unique<PdfRealObject>(lexer_.TokenToReal(), &document_);
    case Symbol::String:
        return std::make_unique<PdfStringObject>(PdfString(lexer_.StringValue(), PdfStringFlags::RawEncoding),
                                                 &document_);
    case Symbol::HexString:
        return std::make_unique<PdfStringObject>(PdfString(lexer_.StringValue(), PdfStringFlags::HexLiteral),
                                                 &document_);
    case Symbol::UnicodeHexString:
        return std::make_unique<PdfStringObject>(
            PdfString(lexer_.StringValue(), PdfStringFlags::Unicode | PdfStringFlags::HexLiteral), &document_);
    case Symbol::Name: return std::make_unique<PdfNameObject>(lexer_.Token(), &document_);
    default: throw NotImplementedException(ReaderMessages::UnknownToken(symbol));
    }
}

// A "/Length" that is wrong, missing or out of the file is taken from
// where "endstream" stands instead, as readers commonly do: a damaged
// length would otherwise cost the whole object.
void Parser::ReadStreamData(PdfDictionary &dictionary) {
    if (dictionary.Elements().ContainsKey("/F")) throw NotImplementedException(ReaderMessages::FileStreams);
    std::int32_t length = StreamLength(dictionary);
    if (!lexer_.IsStreamEnd(length)) length = lexer_.ScanStreamLength();
    std::vector<std::uint8_t> bytes = lexer_.ReadStream(length);
    if (dictionary.Stream() != nullptr)
        dictionary.Stream()->SetValue(std::move(bytes));
    else
        dictionary.CreateStream(std::move(bytes));
}

// -1 when the dictionary gives no usable length.
std::int32_t Parser::StreamLength(PdfDictionary &dictionary) {
    PdfItem *item = dictionary.Elements()["/Length"];
    if (auto *integer = dynamic_cast<PdfInteger *>(item)) return integer->Value();
    if (auto *reference = dynamic_cast<PdfReference *>(item)) return ReadLengthObject(*reference);
    return -1;
}

// Reads "n g obj <integer> endobj" at the length object's place and comes
// back; -1 when there is no such object. Only an integer is accepted, so
// that reading a length never starts reading further objects (a stream
// whose length is its own object number included).
std::int32_t Parser::ReadLengthObject(PdfReference &reference) {
    if (auto *loaded = dynamic_cast<PdfIntegerObject *>(reference.LoadedValue())) return loaded->Value();
    if (reference.LoadedValue() != nullptr) return -1;
    std::int32_t saved = lexer_.Position();
    std::int32_t length = -1;
    try {
        MoveToObject(reference.ObjectID());
        ReadObjectHeader(reference.ObjectID());
        Expect(Symbol::Integer);
        length = lexer_.TokenToInteger();
        Expect(Symbol::EndObj);
        document_.ReferenceTable().Add(reference.ObjectID(), std::make_unique<PdfIntegerObject>(length, &document_));
    } catch (const ZavorPdfException &) {
        length = -1;
    }
    lexer_.SetPosition(saved);
    return length;
}

namespace {

// The references held by an object and its direct arrays and dictionaries.
void CollectReferences(PdfObject &root, std::vector<PdfReference *> &found) {
    std::vector<PdfObject *> pending{&root};
    while (!pending.empty()) {
        PdfObject *object = pending.back();
        pending.pop_back();
        auto visit = [&](const PdfItemSlot &slot) {
            if (slot.Reference() != nullptr)
                found.push_back(slot.Reference());
            else if (auto *child = dynamic_cast<PdfObject *>(slot.Get()))
                pending.push_back(child);
        };
        if (auto *array = dynamic_cast<PdfArray *>(object))
            for (const auto &slot : array->Elements().Items()) visit(slot);
        if (auto *dictionary = dynamic_cast<PdfDictionary *>(object))
            for (const auto &entry : dictionary->Elements().Entries()) visit(entry.value);
    }
}

}  // namespace

// Objects that fail to read stay without value and are marked damaged, as
// when a whole file is read.
void Parser::ReadReferencedObjects(PdfObject &root) {
    std::vector<PdfObject *> pending{&root};
    std::set<PdfObjectID> visited;
    while (!pending.empty()) {
        PdfObject *object = pending.back();
        pending.pop_back();
        std::vector<PdfReference *> references;
        CollectReferences(*object, references);
        for (PdfReference *reference : references) {
            if (reference->Value() != nullptr || !visited.insert(reference->ObjectID()).second) continue;
            try {
                pending.push_back(ReadOneObject(nullptr, reference->ObjectID()));
            } catch (const ReadBudgetExceededException &) {
                throw;
            } catch (const ZavorPdfException &) {
            }
        }
    }
}

}  // namespace ZavorPdf::Pdf::IO
