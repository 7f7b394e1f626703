// Pages, information and text of PDF files other than the document under
// construction.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "drawing/x_pdf_form.h"
#include "pdf/content/pdf_text_extractor.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_page_import.h"
#include "pdf/pdf_pages.h"
#include "platform/code_page.h"
#include "session/pdf.h"

namespace ZavorPlugin {

namespace {

using ZavorPdf::PdfReadFailure;
using ZavorPdf::Pdf::PdfDocument;
using ZavorPdf::Pdf::PdfDocumentOpenMode;
using ZavorPdf::Pdf::IO::PdfReader;

std::u16string UnreadableFileMessage(std::u16string_view file) {
    return u"Die Datei \"" + std::u16string(file) + u"\" konnte nicht eingelesen werden.";
}

// One sentence on why the file being handled was refused, for the failure
// that is being handled.
std::u16string RefusalReason(std::u16string_view file) {
    try {
        throw;
    } catch (const ZavorPdf::PdfReaderException &error) {
        switch (error.Reason()) {
        case PdfReadFailure::Password:
            return u"Das Passwort fehlt oder ist falsch.";
        case PdfReadFailure::UnsupportedEncryption:
            return u"Die Verschl\u00fcsselung \"" + ZavorPlatform::Utf8ToUtf16(error.Detail()) +
                   u"\" wird nicht unterst\u00fctzt.";
        case PdfReadFailure::NotPdf:
            return u"Die Datei ist keine PDF-Datei.";
        case PdfReadFailure::Damaged:
            break;
        }
    } catch (...) {
    }
    std::filesystem::path path{std::u16string(file)};
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return u"Die Datei existiert nicht oder ist nicht lesbar.";
    if (PdfReader::TestPdfFile(path) == 0) return u"Die Datei ist keine PDF-Datei.";
    return u"Die Datei ist so besch\u00e4digt, dass sie nicht repariert werden kann.";
}

std::unique_ptr<PdfDocument> OpenExternal(std::u16string_view file, PdfDocumentOpenMode mode,
                                          const std::u16string &password) {
    std::filesystem::path path{std::u16string(file)};
    std::unique_ptr<PdfDocument> opened;
    try {
        opened = PdfReader::Open(path, mode);
    } catch (const ZavorPdf::PdfReaderException &error) {
        // The script's password comes second, so that a file that opens
        // without one never depends on it.
        if (error.Reason() != PdfReadFailure::Password || password.empty()) throw;
        opened = PdfReader::Open(path, password, mode);
    }
    // Only a password dialog that the user cancels gives no document; the
    // session never offers one, but a missing document is still no document.
    if (!opened) throw ZavorPdf::InvalidOperationException("The document could not be opened.");
    return opened;
}

std::u16string InformationField(PdfDocument &source, std::int32_t typ) {
    switch (typ) {
    case 0:
        return ZavorPlatform::Utf8ToUtf16(std::to_string(source.PageCount()));
    case 1:
        return source.Info().Author();
    case 2:
        return source.Info().Title();
    case 3:
        return source.Info().Keywords();
    case 4:
        return source.Info().Creator();
    case 5:
        return source.Info().Producer();
    default:
        return {};
    }
}

}  // namespace

void PDF::SetExternalPassword(std::u16string_view password) {
    externalPassword_ = password;
    // Pages of PDF files placed as pictures open with it too.
    ZavorPdf::Drawing::XPdfForm::SetPassword(externalPassword_);
}

void PDF::AddPDF(std::u16string_view file, std::int32_t from, std::int32_t to) {
    // Pages are copied out of a document opened for the copy alone; a file
    // kept for reading is only dropped when another file is asked for.
    externalFile_.KeepOnly(file);
    std::unique_ptr<PdfDocument> source;
    try {
        source = OpenExternal(file, PdfDocumentOpenMode::Import, externalPassword_);
    } catch (...) {
        ReportFailure(UnreadableFileMessage(file) + u" " + RefusalReason(file), kFileFailureEvent);
        return;
    }
    try {
        // Pages counted from 1; a last page of 0 means the whole file. The
        // indexes are 64-bit so that the script's extremes cannot wrap.
        std::int64_t first = to == 0 ? 0 : std::int64_t{from} - 1;
        std::int64_t last = to == 0 ? std::int64_t{source->PageCount()} - 1 : std::int64_t{to} - 1;
        // Links between the pages are settled once all of them are there,
        // also when a later page fails: the earlier ones stay.
        ZavorPdf::Pdf::PdfPageImport import(*document);
        try {
            for (std::int64_t index = first; index <= last; ++index) {
                if (index < 0 || index >= source->PageCount()) {
                    throw ZavorPdf::ArgumentOutOfRangeException("The index of a page is out of range.", "index");
                }
                // The copy is the document's own; page and gfx stay on the
                // page the script draws on.
                import.Append(source->Pages().PageAt(static_cast<int>(index)));
            }
        } catch (...) {
            import.ResolveLinks();
            throw;
        }
        import.ResolveLinks();
    } catch (const ZavorPdf::ArgumentOutOfRangeException &) {
        // A page the file does not have is the script's mistake, not the
        // file's. Pages appended before the failure stay: the script may
        // use them.
        ReportFailure(UnreadableFileMessage(file), kFileFailureEvent);
    } catch (...) {
        ReportFailure(UnreadableFileMessage(file) + u" " + RefusalReason(file), kFileFailureEvent);
    }
}

std::u16string PDF::GetPDFInfo(std::u16string_view file, std::int32_t typ) {
    PdfDocument *source = nullptr;
    try {
        source = &externalFile_.Open(file, PdfDocumentOpenMode::InformationOnly, externalPassword_, &OpenExternal);
    } catch (...) {
        ReportFailure(UnreadableFileMessage(file) + u" " + RefusalReason(file), kFileFailureEvent);
        return {};
    }
    try {
        return InformationField(*source, typ);
    } catch (...) {
        // The file was read; an entry that cannot be had reads as empty.
        return {};
    }
}

std::u16string PDF::GetPDFText(std::u16string_view file, std::int32_t part) {
    // The extractor turns every failure into an empty text itself; the
    // script learns nothing more than that the page gave no text.
    try {
        PdfDocument &source = externalFile_.Open(file, PdfDocumentOpenMode::ReadOnly, externalPassword_, &OpenExternal);
        return ZavorPdf::Pdf::Content::PdfTextExtractor::GetText(source, part);
    } catch (...) {
        return {};
    }
}

}  // namespace ZavorPlugin
