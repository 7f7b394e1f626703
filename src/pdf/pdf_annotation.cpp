#include "pdf/pdf_annotation.h"

#include <algorithm>
#include <cmath>

#include "pdf/errors.h"
#include "pdf/item_access.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_date.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_text_string.h"
#include "platform/random_id.h"

namespace ZavorPdf::Pdf {

const DictionaryMeta &PdfAnnotation::Keys::Meta() {
    static const DictionaryMeta meta({
        KeyDescriptor(Type, KeyType::Name | KeyType::Optional),
        KeyDescriptor(Subtype, KeyType::Name | KeyType::Required),
        KeyDescriptor(Rect, KeyType::Rectangle | KeyType::Required),
        KeyDescriptor(Contents, KeyType::TextString | KeyType::Optional),
        KeyDescriptor(P, KeyType::Dictionary | KeyType::Optional | KeyType::MustBeIndirect, "1.3"),
        KeyDescriptor(NM, KeyType::TextString | KeyType::Optional, "1.4"),
        KeyDescriptor(M, KeyType::Date | KeyType::Optional, "1.1"),
        KeyDescriptor(F, KeyType::Integer | KeyType::Optional, "1.1"),
        KeyDescriptor(BS, KeyType::Dictionary | KeyType::Optional, "1.2"),
        KeyDescriptor(AP, KeyType::Dictionary | KeyType::Optional, "1.2"),
        KeyDescriptor(AS, KeyType::Name | KeyType::Optional, "1.2"),
        KeyDescriptor(Border, KeyType::Array | KeyType::Optional),
        KeyDescriptor(C, KeyType::Array | KeyType::Optional, "1.1"),
        KeyDescriptor(A, KeyType::Dictionary | KeyType::Optional, "1.1"),
        KeyDescriptor(Dest, KeyType::ArrayOrNameOrString | KeyType::Optional),
        KeyDescriptor(T, KeyType::TextString | KeyType::Optional, "1.1"),
        KeyDescriptor(Popup, KeyType::Dictionary | KeyType::Optional, "1.3"),
        KeyDescriptor(CA, KeyType::Real | KeyType::Optional, "1.4"),
        KeyDescriptor(Subj, KeyType::TextString | KeyType::Optional, "1.5"),
    });
    return meta;
}

std::string NewAnnotationName() {
    static constexpr char Digits[] = "0123456789abcdef";
    auto guid = ZavorPlatform::NewGuid();
    std::string name;
    for (std::size_t i = 0; i < guid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) name += '-';
        name += Digits[guid[i] >> 4];
        name += Digits[guid[i] & 15];
    }
    return name;
}

PdfAnnotation::PdfAnnotation(PdfDocument *document) : PdfDictionary(document) {
    Elements().SetName(Keys::Type, "/Annot");
    std::string name = NewAnnotationName();
    Elements().SetString(Keys::NM, std::u16string(name.begin(), name.end()));
    Touch();
}

void PdfAnnotation::Touch() { Elements().SetDateTime(Keys::M, PdfDate::CurrentTime()); }

void PdfAnnotation::SetText(const char *key, std::u16string value) {
    Elements().SetValue(key, std::make_unique<PdfString>(Internal::RawTextString(std::move(value))));
    Touch();
}

void PdfAnnotation::SetFlags(int value) {
    Elements().SetInteger(Keys::F, value);
    Touch();
}

void PdfAnnotation::SetRectangle(const PdfRectangle &value) {
    Elements().SetRectangle(Keys::Rect, value);
    Touch();
}

void PdfAnnotation::SetTitle(std::u16string value) { SetText(Keys::T, std::move(value)); }
void PdfAnnotation::SetSubject(std::u16string value) { SetText(Keys::Subj, std::move(value)); }
void PdfAnnotation::SetContents(std::u16string value) { SetText(Keys::Contents, std::move(value)); }

PdfRgbColor PdfAnnotation::Color() const {
    const PdfArray *array = Elements().GetArray(Keys::C);
    if (array == nullptr || array->Elements().Count() != 3) return PdfRgbColor(0, 0, 0);
    auto component = [array](int index) -> std::uint8_t {
        PdfItem *item = Internal::Resolve(array->Elements()[index]);
        if (item == nullptr) return 0;
        double value = 0;
        try {
            value = Internal::ReadReal(*item);
        } catch (const InvalidCastException &) {
            return 0;
        }
        // Rounded rather than cut off: 128 / 255 times 255 is a hair below
        // 128, and a colour must come back as it was set.
        return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
    };
    return PdfRgbColor(component(0), component(1), component(2));
}

void PdfAnnotation::SetColor(PdfRgbColor value) {
    auto array = std::make_unique<PdfArray>();
    array->Elements().Add(std::make_unique<PdfReal>(value.R() / 255.0));
    array->Elements().Add(std::make_unique<PdfReal>(value.G() / 255.0));
    array->Elements().Add(std::make_unique<PdfReal>(value.B() / 255.0));
    Elements().SetObject(Keys::C, std::move(array));
    Touch();
}

double PdfAnnotation::Opacity() const {
    if (!Elements().ContainsKey(Keys::CA)) return 1.0;
    return Elements().GetReal(Keys::CA);
}

void PdfAnnotation::SetOpacity(double value) {
    if (!(value >= 0.0 && value <= 1.0))
        throw ArgumentOutOfRangeException("Opacity must be a value in the range from 0 to 1.", "value");
    Elements().SetReal(Keys::CA, value);
    Touch();
}

}  // namespace ZavorPdf::Pdf
