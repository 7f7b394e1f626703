// What a document gets besides line drawings: pictures in the target box,
// invisible link areas, notes, bookmarks and passwords.
#include <cstdint>
#include <memory>
#include <string>

#include "drawing/x_graphics.h"
#include "drawing/x_rect.h"
#include "pdf/errors.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_security_settings.h"
#include "session/pdf.h"

namespace ZavorPlugin {

void PDF::AddPicture(std::u16string_view filename) {
    try {
        throw ZavorPdf::NotImplementedException("Pictures cannot be drawn yet.");
    } catch (...) {
        ReportFailure(u"Das Bild \"" + std::u16string(filename) + u"\" konnte nicht eingelesen werden.",
                      kFileFailureEvent);
    }
}

void PDF::AddLink(std::u16string_view, std::int32_t) {
    throw ZavorPdf::NotImplementedException("Links cannot be added yet.");
}

void PDF::AddNotice(std::u16string_view, std::u16string_view, std::u16string_view, std::u16string_view) {
    throw ZavorPdf::NotImplementedException("Notes cannot be added yet.");
}

void PDF::AddBookmark(std::u16string_view, bool) {
    throw ZavorPdf::NotImplementedException("Bookmarks cannot be added yet.");
}

void PDF::AddPassword(std::u16string_view pass, std::int32_t typ) {
    // Setting a password, even an empty one, is what asks for an encrypted
    // file.
    if (typ == 1) {
        document->SecuritySettings().SetOwnerPassword(std::u16string(pass));
    } else if (typ == 2) {
        document->SecuritySettings().SetUserPassword(std::u16string(pass));
    }
}

}  // namespace ZavorPlugin
