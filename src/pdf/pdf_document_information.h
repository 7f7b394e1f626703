// The "/Info" dictionary: title, author and the other descriptive entries
// that viewers show as document properties.
#pragma once

#include <string>

#include "pdf/pdf_dictionary.h"

namespace ZavorPdf::Pdf {

class PdfDocumentInformation : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Title = "/Title";
        static constexpr const char *Author = "/Author";
        static constexpr const char *Subject = "/Subject";
        static constexpr const char *Keywords = "/Keywords";
        static constexpr const char *Creator = "/Creator";
        static constexpr const char *Producer = "/Producer";
        static constexpr const char *CreationDate = "/CreationDate";
        static constexpr const char *ModDate = "/ModDate";
        static constexpr const char *Trapped = "/Trapped";
        static const DictionaryMeta &Meta();
    };

    explicit PdfDocumentInformation(PdfDocument *document = nullptr) : PdfDictionary(document) {}
    explicit PdfDocumentInformation(PdfDictionary &&dictionary) : PdfDictionary(std::move(dictionary)) {}

    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<PdfDocumentInformation>(*this); }

    // The texts are empty when the key is absent.
    std::u16string Title() const { return Elements().GetString(Keys::Title); }
    void SetTitle(std::u16string value) { Elements().SetString(Keys::Title, std::move(value)); }
    std::u16string Author() const { return Elements().GetString(Keys::Author); }
    void SetAuthor(std::u16string value) { Elements().SetString(Keys::Author, std::move(value)); }
    std::u16string Subject() const { return Elements().GetString(Keys::Subject); }
    void SetSubject(std::u16string value) { Elements().SetString(Keys::Subject, std::move(value)); }
    std::u16string Keywords() const { return Elements().GetString(Keys::Keywords); }
    void SetKeywords(std::u16string value) { Elements().SetString(Keys::Keywords, std::move(value)); }
    std::u16string Creator() const { return Elements().GetString(Keys::Creator); }
    void SetCreator(std::u16string value) { Elements().SetString(Keys::Creator, std::move(value)); }
    // Set by every save; there is no public setter.
    std::u16string Producer() const { return Elements().GetString(Keys::Producer); }

    // The current time when the key is absent; a date stored as text is
    // parsed.
    LocalDateTime CreationDate() const;
    void SetCreationDate(const LocalDateTime &value) { Elements().SetDateTime(Keys::CreationDate, value); }
    LocalDateTime ModificationDate() const;
    void SetModificationDate(const LocalDateTime &value) { Elements().SetDateTime(Keys::ModDate, value); }

private:
    friend class PdfDocument;
    void SetProducer(std::u16string value) { Elements().SetString(Keys::Producer, std::move(value)); }
};

}  // namespace ZavorPdf::Pdf
