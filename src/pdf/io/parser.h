// Reads an existing PDF file into the object model: indirect objects with
// their streams, classic cross-reference tables and cross-reference streams
// with their trailers, older revisions reached through "/Prev", and the
// objects packed into object streams.
//
// For any input the parser does nothing worse than throw one of the
// engine's exceptions: nesting, item counts and stream lengths are bounded
// by the file, and a "/Prev" chain that comes back to a section it has read
// ends there.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "pdf/io/lexer.h"
#include "pdf/io/shift_stack.h"
#include "pdf/pdf_object.h"
#include "pdf/pdf_object_id.h"
#include "platform/local_time.h"

namespace ZavorPdf::Pdf {
class PdfArray;
class PdfDictionary;
class PdfDocument;
class PdfReference;
class PdfTrailer;
}  // namespace ZavorPdf::Pdf

namespace ZavorPdf::Pdf::IO {

// Whether ReadObject also reads the objects that the object refers to and
// that are not loaded yet.
enum class ReadReferences { No, Yes };

class Parser {
public:
    // Arrays and dictionaries nested deeper fail.
    static constexpr int MaxNesting = 512;
    // Highest object number accepted from a file.
    static constexpr std::int32_t MaxObjectNumber = 8388607;
    // Longest "/Prev" chain followed.
    static constexpr int MaxXRefSections = 4096;

    // The document must outlive the parser; the parser keeps the bytes.
    Parser(PdfDocument &document, std::vector<std::uint8_t> bytes);
    Parser(PdfDocument &document, std::unique_ptr<ZavorPlatform::FileMapping> mapping);

    Lexer &GetLexer() { return lexer_; }

    // Reads every cross-reference section into the document's reference
    // table and fills the document's trailer from the newest one.
    PdfTrailer &ReadTrailer();

    // Cross-reference streams are not part of the document and are never
    // encrypted: they leave the table before the document is decrypted.
    void DropCrossReferenceStreams();
    // Reads the objects that the cross-reference streams place in object
    // streams, once the object streams themselves are decrypted; their
    // strings are not encrypted one by one. The object streams then leave
    // the table, so that their objects are written as ordinary ones. An
    // object that fails to read stays without value, marked damaged.
    void ReadCompressedObjects();
    // For objects read on first use: the object stream that holds the
    // object (0 for none), and the reading of all objects of one stream
    // that are not read yet, which stay damaged where they fail.
    std::int32_t ObjectStreamOf(PdfObjectID id) const;
    void ReadObjectStreamMembers(std::int32_t stream);

    // Reads the indirect object that the reference table places for the ID
    // and files it there. A supplied array or dictionary is filled in place
    // when the file holds one of that kind (a typed class read as itself).
    // Returns the object, which the reference table owns.
    PdfObject *ReadObject(std::unique_ptr<PdfObject> object, PdfObjectID id,
                          ReadReferences references = ReadReferences::No);
    void MoveToObject(PdfObjectID id);

    // Read the elements after "[" or "<<" up to the closing bracket.
    void ReadArray(PdfArray &array);
    void ReadDictionary(PdfDictionary &dictionary);

    // "D:yyyyMMddHHmmss+hh'mm'" by fixed positions, any other text as a
    // general date; errorValue when the text is no date.
    static ZavorPlatform::LocalDateTime ParseDateTime(std::string_view text,
                                                      const ZavorPlatform::LocalDateTime &errorValue);

private:
    class NestingGuard;

    void ParseObject(Symbol stop);
    void ShiftSimple(Symbol symbol);
    void ReduceReference(int frame);

    PdfObject *ReadOneObject(std::unique_ptr<PdfObject> object, PdfObjectID id);
    PdfObject *ReadPlacedObject(std::unique_ptr<PdfObject> object, PdfObjectID id);
    void ReadObjectHeader(PdfObjectID id);
    std::unique_ptr<PdfObject> ReadDictionaryObject(std::unique_ptr<PdfObject> object);
    std::unique_ptr<PdfObject> ReadSimpleObject(Symbol symbol);
    void ReadStreamData(PdfDictionary &dictionary);
    std::int32_t StreamLength(PdfDictionary &dictionary);
    std::int32_t ReadLengthObject(PdfReference &reference);
    void ReadReferencedObjects(PdfObject &root);

    std::int32_t FindStartXRef();
    void ReadXRefSection(std::int32_t offset);
    void AddXRefEntry(std::int64_t number, std::int32_t generation, std::int32_t offset);
    void ReadSection(std::int32_t offset, PdfDictionary &trailer, std::set<std::int32_t> &visited);
    void ReadXRefStream(std::int32_t offset, PdfDictionary &trailer);
    void ReadXRefStreamEntries(const PdfDictionary &dictionary, const std::vector<std::uint8_t> &data);
    void AddCompressedEntry(std::int64_t number, std::uint64_t stream, std::uint64_t index);
    std::vector<std::uint8_t> DecodedStream(const PdfDictionary &dictionary, const char *damaged);
    void ReadObjectStream(std::int32_t stream, const std::vector<std::pair<std::int32_t, std::int32_t>> &members);
    std::vector<std::pair<std::int32_t, std::int32_t>> ReadObjectStreamHeader(std::int32_t count);
    void ReadStreamedObject(PdfObjectID id, std::int64_t position);

    void Expect(Symbol symbol);
    std::int32_t ExpectInteger();
    [[noreturn]] void FailUnexpected() const;

    PdfDocument &document_;  // non-owning
    Lexer lexer_;
    ShiftStack stack_;
    int nesting_ = 0;

    // Where an object of an object stream is: the stream's object number
    // and the object's index in it.
    struct CompressedEntry {
        std::int32_t stream;
        std::int32_t index;
    };
    // By object number; such objects always have generation 0.
    std::map<std::int32_t, CompressedEntry> compressed_;
    // Pairs of index and object number by stream, made on first use.
    std::map<std::int32_t, std::vector<std::pair<std::int32_t, std::int32_t>>> membersByStream_;
    std::vector<PdfObjectID> xrefStreams_;
};

}  // namespace ZavorPdf::Pdf::IO
