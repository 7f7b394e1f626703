// What the writer needs from an encryption handler: the key of the object
// being written and the encryption of its strings and streams. The writer
// holds it without owning it.
#pragma once

#include <cstdint>
#include <vector>

#include "pdf/pdf_object_id.h"

namespace ZavorPdf::Pdf::IO {

class PdfSecurityHook {
public:
    virtual ~PdfSecurityHook() = default;
    // Chooses the key for the strings and streams of this object.
    virtual void SetHashKey(PdfObjectID id) = 0;
    // Both encrypt in place; the stored values stay untouched because the
    // writer hands over copies.
    virtual void EncryptString(std::vector<std::uint8_t> &bytes) = 0;
    virtual void EncryptStream(std::vector<std::uint8_t> &bytes) = 0;
};

}  // namespace ZavorPdf::Pdf::IO
