// The engine's typed failures. Each carries the exact English message that
// callers (and scripts, through the session's error text) see.
#pragma once

#include <stdexcept>
#include <string>

namespace ZavorPdf {

// Base of every engine failure, so that a boundary can catch them all.
class ZavorPdfException : public std::runtime_error {
public:
    explicit ZavorPdfException(const std::string &message) : std::runtime_error(message) {}
};

// The object is not in a state that allows the call.
class InvalidOperationException : public ZavorPdfException {
public:
    using ZavorPdfException::ZavorPdfException;
};

// An argument is unusable; ParamName() names it ("key", "value", ...).
class ArgumentException : public ZavorPdfException {
public:
    ArgumentException(const std::string &message, std::string paramName = {})
        : ZavorPdfException(message), paramName_(std::move(paramName)) {}
    const std::string &ParamName() const noexcept { return paramName_; }

private:
    std::string paramName_;
};

// A required argument is missing (a null pointer or an absent value).
class ArgumentNullException : public ArgumentException {
public:
    explicit ArgumentNullException(const std::string &paramName)
        : ArgumentException("Value cannot be null. (Parameter '" + paramName + "')", paramName) {}
};

class ArgumentOutOfRangeException : public ArgumentException {
public:
    using ArgumentException::ArgumentException;
};

// A stored value is not of the kind that a typed getter promises.
class InvalidCastException : public ZavorPdfException {
public:
    using ZavorPdfException::ZavorPdfException;
};

class NotImplementedException : public ZavorPdfException {
public:
    using ZavorPdfException::ZavorPdfException;
};

class NotSupportedException : public ZavorPdfException {
public:
    using ZavorPdfException::ZavorPdfException;
};

// Why a file being read was refused, for callers that explain it to a
// person rather than pass the English message on.
enum class PdfReadFailure { Damaged, Password, UnsupportedEncryption, NotPdf };

// A file being read is damaged, locked or not a PDF file. Detail() names the
// encryption that is not supported.
class PdfReaderException : public ZavorPdfException {
public:
    explicit PdfReaderException(const std::string &message, PdfReadFailure reason = PdfReadFailure::Damaged,
                                std::string detail = {})
        : ZavorPdfException(message), reason_(reason), detail_(std::move(detail)) {}
    PdfReadFailure Reason() const noexcept { return reason_; }
    const std::string &Detail() const noexcept { return detail_; }

private:
    PdfReadFailure reason_;
    std::string detail_;
};

}  // namespace ZavorPdf
