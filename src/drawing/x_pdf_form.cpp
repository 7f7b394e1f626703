#include "drawing/x_pdf_form.h"

#include <cmath>
#include <climits>
#include <filesystem>
#include <iterator>
#include <map>
#include <vector>

#include "drawing/file_paths.h"
#include "drawing/pdf_form_x_object.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_resources.h"
#include "platform/code_page.h"
#include "platform/random_id.h"

namespace ZavorPdf::Drawing {
namespace {

namespace fs = std::filesystem;
using Pdf::IO::PdfReader;

// The documents opened for forms on this thread. The table only watches
// them: the forms own them, and an entry whose document is gone is dropped
// when it is next looked up.
// Keyed by the canonical path: names differing only in case are different
// files here, two spellings of one path are the same file.
thread_local std::map<std::string, std::weak_ptr<Pdf::PdfDocument>> openedDocuments;
thread_local std::u16string openPassword;

// The password comes second, so that a file that opens without one never
// depends on it.
std::shared_ptr<Pdf::PdfDocument> OpenForImport(const fs::path &path) {
    try {
        return PdfReader::Open(path, Pdf::PdfDocumentOpenMode::Import);
    } catch (const PdfReaderException &error) {
        if (error.Reason() != PdfReadFailure::Password || openPassword.empty()) throw;
        return PdfReader::Open(path, openPassword, Pdf::PdfDocumentOpenMode::Import);
    }
}

std::shared_ptr<Pdf::PdfDocument> OpenShared(const std::u16string &path) {
    std::string key = CanonicalFileKey(path);
    auto found = openedDocuments.find(key);
    if (found != openedDocuments.end()) {
        if (std::shared_ptr<Pdf::PdfDocument> document = found->second.lock())
            return document;
        openedDocuments.erase(found);
    }
    std::shared_ptr<Pdf::PdfDocument> document = OpenForImport(ToPath(path));
    if (document == nullptr)
        throw InvalidOperationException("The document '" + ZavorPlatform::Utf16ToUtf8(path) + "' was not opened.");
    openedDocuments[key] = document;
    return document;
}

void ForgetShared(const std::u16string &path, const Pdf::PdfDocument *document) {
    auto found = openedDocuments.find(CanonicalFileKey(path));
    if (found == openedDocuments.end())
        return;
    std::shared_ptr<Pdf::PdfDocument> registered = found->second.lock();
    if (registered == nullptr || registered.get() == document)
        openedDocuments.erase(found);
}

std::u16string StreamPath() {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string path = u"*{";
    auto guid = ZavorPlatform::NewGuid();
    for (std::size_t i = 0; i < guid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            path += u'-';
        path += kHex[guid[i] >> 4];
        path += kHex[guid[i] & 15];
    }
    return path + u"}";
}

std::string RangeMessage(int pageNumber, int pageCount, const std::u16string &path) {
    return "The page cannot be imported from document '" + ZavorPlatform::Utf16ToUtf8(path) +
           "', because the page number is out of range. The specified page number is " +
           std::to_string(pageNumber) + ", but it must be in the range from 1 to " + std::to_string(pageCount) + ".";
}

}  // namespace

XPdfForm::Source XPdfForm::SplitPageSuffix(std::u16string_view path) {
    Source source;
    std::size_t hash = path.rfind(u'#');
    bool digits = hash != std::u16string_view::npos && hash + 1 < path.size();
    for (std::size_t i = digits ? hash + 1 : path.size(); i < path.size(); ++i)
        digits = digits && path[i] >= u'0' && path[i] <= u'9';
    if (digits && path.find(u'.') != std::u16string_view::npos) {
        // Saturates: an absurd page number ends in the range message.
        long long number = 0;
        for (std::size_t i = hash + 1; i < path.size(); ++i)
            number = std::min<long long>(number * 10 + (path[i] - u'0'), INT_MAX);
        source.pageNumber = static_cast<int>(number);
        path = path.substr(0, hash);
    }
    source.path = path;
    return source;
}

XPdfForm::Source XPdfForm::ParsePath(std::u16string_view path) {
    Source source = SplitPageSuffix(path);
    fs::path absolute = MakeAbsolute(source.path);
    if (!IsRegularFile(absolute))
        throw FileNotFoundException(absolute.string());
    if (PdfReader::TestPdfFile(absolute) <= 0)
        throw ArgumentException("The specified file has no valid PDF file header.", "path");
    source.path = ZavorPlatform::Utf8ToUtf16(absolute.string());
    return source;
}

XPdfForm::XPdfForm(std::u16string_view path) : XPdfForm(ParsePath(path)) {}

XPdfForm::XPdfForm(Source source) : XImage(std::move(source.path), XImageFormat::Pdf), pageNumber_(source.pageNumber) {}

XPdfForm::XPdfForm(std::istream &stream) : XImage(StreamPath(), XImageFormat::Pdf) {
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (PdfReader::TestPdfFile(bytes) <= 0)
        throw ArgumentException("The specified stream has no valid PDF file header.", "stream");
    // Only ever imported from, so it is opened for that.
    external_ = PdfReader::Open(std::move(bytes), Pdf::PdfDocumentOpenMode::Import);
    // The path names no file to fall back on later.
    if (external_ == nullptr)
        throw InvalidOperationException("The document '" + ZavorPlatform::Utf16ToUtf8(Path()) + "' was not opened.");
}

void XPdfForm::SetPassword(std::u16string password) { openPassword = std::move(password); }

std::unique_ptr<XPdfForm> XPdfForm::FromFile(std::u16string_view path) { return std::make_unique<XPdfForm>(path); }

std::unique_ptr<XPdfForm> XPdfForm::FromStream(std::istream &stream) { return std::make_unique<XPdfForm>(stream); }

// The path may end in a page suffix; anything that is no PDF file, a
// missing file included, is left to the caller.
std::unique_ptr<XImage> PdfFileAsPicture(const std::filesystem::path &path) {
    std::u16string text = ZavorPlatform::Utf8ToUtf16(path.string());
    fs::path file = MakeAbsolute(XPdfForm::SplitPageSuffix(text).path);
    if (!IsRegularFile(file) || PdfReader::TestPdfFile(file) <= 0)
        return nullptr;
    return std::make_unique<XPdfForm>(text);
}

XPdfForm::~XPdfForm() = default;

void XPdfForm::SetPageNumber(int value) { pageNumber_ = value; }

void XPdfForm::CheckUsable() const {
    if (IsDisposed())
        throw InvalidOperationException("The image is disposed.");
}

Pdf::PdfDocument &XPdfForm::ExternalDocument() const {
    CheckUsable();
    if (external_ == nullptr)
        external_ = OpenShared(Path());
    return *external_;
}

int XPdfForm::PageCount() const {
    if (pageCount_ < 0)
        pageCount_ = ExternalDocument().PageCount();
    return pageCount_;
}

Pdf::PdfPage &XPdfForm::Page() const {
    int count = PageCount();
    if (pageNumber_ < 1 || pageNumber_ > count)
        throw ArgumentException(RangeMessage(pageNumber_, count, Path()), "pageNumber");
    return ExternalDocument().Pages()[PageIndex()];
}

double XPdfForm::PointWidth() const { return Page().Width(); }
double XPdfForm::PointHeight() const { return Page().Height(); }
int XPdfForm::PixelWidth() const { return static_cast<int>(std::lround(PointWidth())); }
int XPdfForm::PixelHeight() const { return static_cast<int>(std::lround(PointHeight())); }

// The document's import table keeps one form per page of the file; it also
// forgets forms that a save freed, so no copy of the reference is kept here.
Pdf::PdfReference &XPdfForm::FormFor(Pdf::PdfDocument &document) const {
    Pdf::PdfDocument &external = ExternalDocument();
    if (&external == &document)
        throw InvalidOperationException("A XPdfForm cannot be drawn on itself.");
    Page();  // the range check, before anything is made
    Pdf::PdfImportedObjectTable &table = document.ImportedObjectTables().For(external);
    table.ForgetDropped();
    Pdf::PdfReference *reference = table.Form(PageIndex());
    if (reference == nullptr) {
        auto &made = Pdf::Advanced::PdfFormXObject::FromExternalPage(table, pageNumber_,
                                                                     ZavorPlatform::Utf16ToUtf8(Path()));
        reference = made.Reference();
        table.SetForm(PageIndex(), reference);
    }
    return *reference;
}

std::string XPdfForm::ResourceName(Pdf::PdfPage &page) const {
    Pdf::PdfDocument *document = page.Owner();
    if (document == nullptr)
        throw InvalidOperationException("You cannot draw on a page that is not owned by a PdfDocument object.");
    Pdf::PdfReference &form = FormFor(*document);
    return Pdf::PdfResources::ForPage(page).Add(Pdf::ResourceKind::Form, *form.Value());
}

void XPdfForm::Dispose() {
    if (external_ != nullptr)
        ForgetShared(Path(), external_.get());
    external_.reset();
    XImage::Dispose();
}

}  // namespace ZavorPdf::Drawing
