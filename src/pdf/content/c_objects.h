// The values of a parsed content stream: numbers, strings, names and
// comments. Sequences and operators have their own headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ZavorPdf::Pdf::Content::Objects {

class CObject {
public:
    virtual ~CObject() = default;
    // A deep copy; a copied sequence owns copies of its elements.
    virtual std::unique_ptr<CObject> Clone() const = 0;

protected:
    CObject() = default;
    CObject(const CObject &) = default;
    CObject &operator=(const CObject &) = default;
};

class CNumber : public CObject {
protected:
    CNumber() = default;
};

class CInteger final : public CNumber {
public:
    explicit CInteger(std::int32_t value = 0) : value_(value) {}
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value) { value_ = value; }
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CInteger>(*this); }

private:
    std::int32_t value_;
};

class CReal final : public CNumber {
public:
    explicit CReal(double value = 0) : value_(value) {}
    double Value() const { return value_; }
    void SetValue(double value) { value_ = value; }
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CReal>(*this); }

private:
    double value_;
};

// One 16-bit character per byte of the string as written, or the UTF-16
// units of a string that began with a byte order mark.
class CString final : public CObject {
public:
    explicit CString(std::u16string value = {}) : value_(std::move(value)) {}
    const std::u16string &Value() const { return value_; }
    void SetValue(std::u16string value) { value_ = std::move(value); }
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CString>(*this); }

private:
    std::u16string value_;
};

// The name keeps its leading "/"; "#xx" escapes are resolved to bytes.
class CName final : public CObject {
public:
    explicit CName(std::string name = "/") : name_(std::move(name)) {}
    const std::string &Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CName>(*this); }

private:
    std::string name_;
};

// For programs that build content; the parser skips comments.
class CComment final : public CObject {
public:
    explicit CComment(std::string text = {}) : text_(std::move(text)) {}
    const std::string &Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<CComment>(*this); }

private:
    std::string text_;
};

}  // namespace ZavorPdf::Pdf::Content::Objects
