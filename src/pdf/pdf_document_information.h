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
    std::u16string Title() const { return Text(Keys::Title); }
    void SetTitle(std::u16string value) { SetText(Keys::Title, std::move(value)); }
    std::u16string Author() const { return Text(Keys::Author); }
    void SetAuthor(std::u16string value) { SetText(Keys::Author, std::move(value)); }
    std::u16string Subject() const { return Text(Keys::Subject); }
    void SetSubject(std::u16string value) { SetText(Keys::Subject, std::move(value)); }
    std::u16string Keywords() const { return Text(Keys::Keywords); }
    void SetKeywords(std::u16string value) { SetText(Keys::Keywords, std::move(value)); }
    std::u16string Creator() const { return Text(Keys::Creator); }
    void SetCreator(std::u16string value) { SetText(Keys::Creator, std::move(value)); }
    // Set by every save; there is no public setter.
    std::u16string Producer() const { return Text(Keys::Producer); }

    // The current time when the key is absent; a date stored as text is
    // parsed.
    LocalDateTime CreationDate() const;
    void SetCreationDate(const LocalDateTime &value) { Elements().SetDateTime(Keys::CreationDate, value); }
    LocalDateTime ModificationDate() const;
    void SetModificationDate(const LocalDateTime &value) { Elements().SetDateTime(Keys::ModDate, value); }

private:
    friend class PdfDocument;
    void SetProducer(std::u16string value) { SetText(Keys::Producer, std::move(value)); }
    // Written as PDFDocEncoding where that holds the text, else UTF-16, and
    // read back either way.
    std::u16string Text(const char *key) const;
    void SetText(const char *key, std::u16string value);
};

}  // namespace ZavorPdf::Pdf
