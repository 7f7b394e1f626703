// From a family name and style to an installed face and its descriptor.
#pragma once

#include <string>
#include <string_view>

#include "drawing/fonts/open_type_descriptor.h"

namespace ZavorPdf::Fonts {

struct ResolvedFont {
    std::u16string name;  // family of the face found (after substitution)
    bool bold = false;    // what the face really is
    bool italic = false;
    const OpenType::OpenTypeDescriptor *descriptor = nullptr;  // process lifetime
};

// Asks the platform for the face (unknown names get its default family),
// then the descriptor cache. Results are remembered per request for the
// process. Fails with "Cannot allocate font data." when no file can be
// read, and with the parse failure for a damaged file.
ResolvedFont ResolveFont(std::u16string_view familyName, int style);

}  // namespace ZavorPdf::Fonts
