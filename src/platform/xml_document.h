// Small XML documents (the plug-in's command records) as a plain tree of
// elements. This is the only place that knows the XML library.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlatform {

// The text is not a well-formed document, or one we refuse to hold.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One element. Attributes, comments and processing instructions are not kept.
struct XmlElement {
    std::u16string name;
    // On reading: all character data inside the element, its descendants'
    // included, in document order. On writing: the content of an element
    // without children (ignored when it has children).
    std::u16string text;
    std::vector<XmlElement> children;

    // The first child with the name, or nullptr.
    const XmlElement *FindChild(std::u16string_view childName) const;
    // Appends a child with a text and returns it.
    XmlElement &AddChild(std::u16string childName, std::u16string childText = {});
};

// Documents nested deeper than this are refused, so that hostile input
// cannot exhaust the stack.
inline constexpr std::size_t kMaxXmlDepth = 64;

// Parses a whole document with exactly one root element. Throws XmlError.
XmlElement ParseXml(std::u16string_view text);

// Writes no declaration and one element per line, indented by two spaces
// per level; an empty element keeps its start and end tag. Lines are
// separated by CR LF, with none after the last. "&", "<" and ">" in texts
// are escaped.
std::u16string WriteXml(const XmlElement &root);

}  // namespace ZavorPlatform
