// The frames of the file: indirect objects, streams, header, cross-reference
// table, trailer and end marker.
#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_security_hook.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf::IO {

void PdfWriter::WriteBeginObject(const PdfObject &object) {
    bool indirect = object.IsIndirect();
    bool isArray = object.IsArray();
    bool isDictionary = object.IsDictionary();
    if (indirect) {
        NewLine();
        WriteRaw(object.ObjectID().ToString() + " obj\n");
        if (security_ != nullptr) security_->SetHashKey(object.ObjectID());
    }
    stack_.push_back({&object, indirect, isArray});
    if (isArray) {
        if (indirect) {
            WriteRaw("[\n");
        } else {
            WriteSeparator(CharCat::Delimiter);
            WriteRaw('[');
        }
    } else if (isDictionary) {
        if (!indirect) NewLine();
        WriteRaw("<<\n");
    }
}

void PdfWriter::WriteEndObject() {
    if (stack_.empty()) throw InvalidOperationException("No object is open.");
    OpenObject top = stack_.back();
    stack_.pop_back();
    if (top.isArray) {
        if (top.isIndirect) {
            NewLine();
            WriteRaw("]\n");
        } else {
            WriteRaw(']');
        }
    } else if (top.object->IsDictionary() && !top.hasStream) {
        if (top.isIndirect && lastCat_ != CharCat::NewLine) WriteRaw(' ');
        WriteRaw(">>\n");
    }
    if (top.isIndirect) {
        NewLine();
        WriteRaw("endobj\n");
    }
}

void PdfWriter::WriteStream(const PdfDictionary &dictionary, StreamOutput output) {
    if (stack_.empty() || stack_.back().object != &dictionary)
        throw InvalidOperationException("The stream's dictionary is not the object being written.");
    stack_.back().hasStream = true;
    if (lastCat_ != CharCat::NewLine) WriteRaw(' ');
    WriteRaw(">>\nstream\n");
    const PdfStream *stream = dictionary.Stream();
    if (output == StreamOutput::Write && stream != nullptr && !stream->Value().empty()) {
        if (security_ != nullptr) {
            std::vector<std::uint8_t> copy = stream->Value();
            security_->EncryptStream(copy);
            Write(copy);
        } else {
            Write(stream->Value());
        }
    }
    NewLine();
    WriteRaw("endstream\n");
}

void PdfWriter::WriteFileHeader(const PdfDocument &document) { WriteFileHeader(document.Version()); }

void PdfWriter::WriteFileHeader(int version) {
    WriteRaw("%PDF-" + FormatInteger(version / 10) + "." + FormatInteger(version % 10) + "\n");
    // Bytes above 127 tell transfer programs that the file is binary.
    WriteRaw("%\xD3\xF4\xCC\xE1\n");
}

namespace {

std::string ZeroPadded(std::int64_t value, std::size_t width) {
    std::string digits = FormatInteger(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

}  // namespace

void PdfWriter::WriteXrefTable(const std::vector<XrefEntry> &entries) {
    std::string text = "xref\n0 " + FormatInteger(static_cast<std::int64_t>(entries.size()) + 1) + "\n";
    text += "0000000000 65535 f \n";
    for (const XrefEntry &entry : entries)
        text += ZeroPadded(entry.position, 10) + " " + ZeroPadded(entry.generation, 5) + " n \n";
    WriteRaw(text);
}

void PdfWriter::WriteTrailer(const PdfDictionary &trailer) {
    if (trailer.IsIndirect()) throw InvalidOperationException("The trailer must be a direct dictionary.");
    NewLine();
    WriteRaw("trailer\n");
    // The trailer is read before any key is known, so it is never encrypted.
    PdfSecurityHook *security = security_;
    security_ = nullptr;
    try {
        trailer.WriteObject(*this);
    } catch (...) {
        security_ = security;
        throw;
    }
    security_ = security;
}

void PdfWriter::WriteEof(std::int32_t startxref) {
    NewLine();
    WriteRaw("startxref\n" + FormatInteger(startxref) + "\n%%EOF\n");
}

}  // namespace ZavorPdf::Pdf::IO
