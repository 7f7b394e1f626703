#include "pdf/item_access.h"

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf::Internal {
namespace {

bool TryReadNumber(const PdfItem &item, double &value) {
    if (auto *number = dynamic_cast<const PdfNumber *>(&item)) {
        value = number->AsDouble();
        return true;
    }
    if (auto *number = dynamic_cast<const PdfNumberObject *>(&item)) {
        value = number->AsDouble();
        return true;
    }
    return false;
}

// The numbers of an array, when it holds exactly `count` numbers.
bool TryReadNumbers(const PdfItem &item, double *values, int count) {
    auto *array = dynamic_cast<const PdfArray *>(&item);
    if (array == nullptr || array->Elements().Count() != count) return false;
    for (int i = 0; i < count; ++i) {
        PdfItem *element = Resolve(array->Elements()[i]);
        if (element == nullptr || !TryReadNumber(*element, values[i])) return false;
    }
    return true;
}

}  // namespace

PdfItem *Resolve(PdfItem *item) {
    if (item != nullptr && item->IsReference()) return static_cast<PdfReference *>(item)->Value();
    return item;
}

bool IsAbsent(const PdfItem *item) {
    return item == nullptr || dynamic_cast<const PdfNull *>(item) != nullptr ||
           dynamic_cast<const PdfNullObject *>(item) != nullptr;
}

bool ReadBoolean(const PdfItem &item) {
    if (auto *value = dynamic_cast<const PdfBoolean *>(&item)) return value->Value();
    if (auto *value = dynamic_cast<const PdfBooleanObject *>(&item)) return value->Value();
    throw InvalidCastException("GetBoolean: Object is not a boolean.");
}

std::int32_t ReadInteger(const PdfItem &item) {
    if (auto *value = dynamic_cast<const PdfInteger *>(&item)) return value->Value();
    if (auto *value = dynamic_cast<const PdfIntegerObject *>(&item)) return value->Value();
    if (auto *value = dynamic_cast<const PdfUInteger *>(&item)) return static_cast<std::int32_t>(value->Value());
    if (auto *value = dynamic_cast<const PdfUIntegerObject *>(&item))
        return static_cast<std::int32_t>(value->Value());
    throw InvalidCastException("GetInteger: Object is not an integer.");
}

double ReadReal(const PdfItem &item) {
    double value = 0;
    if (TryReadNumber(item, value)) return value;
    throw InvalidCastException("GetReal: Object is not a number.");
}

std::u16string ReadString(const PdfItem &item) {
    if (auto *value = dynamic_cast<const PdfString *>(&item)) return value->Value();
    if (auto *value = dynamic_cast<const PdfStringObject *>(&item)) return value->Value().Value();
    // Names hold one byte per character.
    auto bytes = [](const std::string &name) {
        return std::u16string(reinterpret_cast<const unsigned char *>(name.data()),
                              reinterpret_cast<const unsigned char *>(name.data()) + name.size());
    };
    if (auto *value = dynamic_cast<const PdfName *>(&item)) return bytes(value->Value());
    if (auto *value = dynamic_cast<const PdfNameObject *>(&item)) return bytes(value->Value());
    throw InvalidCastException("GetString: Object is not a string.");
}

std::string ReadName(const PdfItem &item) {
    if (auto *value = dynamic_cast<const PdfName *>(&item)) return value->Value();
    if (auto *value = dynamic_cast<const PdfNameObject *>(&item)) return value->Value();
    throw InvalidCastException("GetName: Object is not a name.");
}

PdfRectangle ReadRectangle(const PdfItem &item) {
    if (auto *rectangle = dynamic_cast<const PdfRectangle *>(&item)) return *rectangle;
    double v[4];
    if (TryReadNumbers(item, v, 4)) return PdfRectangle(v[0], v[1], v[2], v[3]);
    throw InvalidCastException("GetRectangle: Object is not a rectangle.");
}

PdfMatrix ReadMatrix(const PdfItem &item) {
    if (dynamic_cast<const PdfLiteral *>(&item) != nullptr)
        throw NotImplementedException("Parsing matrix from literal.");
    PdfMatrix matrix{};
    if (TryReadNumbers(item, matrix.data(), 6)) return matrix;
    throw InvalidCastException("Element is not an array with 6 values.");
}

}  // namespace ZavorPdf::Pdf::Internal
