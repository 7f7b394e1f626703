#include "platform/xml_document.h"

#include <pugixml.hpp>

#include "platform/code_page.h"

namespace ZavorPlatform {
namespace {

void AppendCharacterData(const pugi::xml_node &node, std::u16string &text, std::size_t depth) {
    for (const pugi::xml_node &child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text += Utf8ToUtf16(child.value());
        } else if (child.type() == pugi::node_element && depth < kMaxXmlDepth) {
            AppendCharacterData(child, text, depth + 1);
        }
    }
}

XmlElement ConvertElement(const pugi::xml_node &node, std::size_t depth) {
    if (depth > kMaxXmlDepth) throw XmlError("XML nesting deeper than " + std::to_string(kMaxXmlDepth) + " levels");
    XmlElement element;
    element.name = Utf8ToUtf16(node.name());
    AppendCharacterData(node, element.text, depth);
    for (const pugi::xml_node &child : node.children()) {
        if (child.type() == pugi::node_element) element.children.push_back(ConvertElement(child, depth + 1));
    }
    return element;
}

void BuildNode(pugi::xml_node parent, const XmlElement &element, std::size_t depth) {
    if (depth > kMaxXmlDepth) throw XmlError("XML nesting deeper than " + std::to_string(kMaxXmlDepth) + " levels");
    pugi::xml_node node = parent.append_child(Utf16ToUtf8(element.name).c_str());
    if (!element.children.empty()) {
        for (const XmlElement &child : element.children) BuildNode(node, child, depth + 1);
    } else if (!element.text.empty()) {
        std::string text = Utf16ToUtf8(element.text);
        node.append_child(pugi::node_pcdata).set_value(text.c_str());
    }
}

class StringWriter : public pugi::xml_writer {
public:
    void write(const void *data, size_t size) override { text.append(static_cast<const char *>(data), size); }
    std::string text;
};

}  // namespace

const XmlElement *XmlElement::FindChild(std::u16string_view childName) const {
    for (const XmlElement &child : children) {
        if (child.name == childName) return &child;
    }
    return nullptr;
}

XmlElement &XmlElement::AddChild(std::u16string childName, std::u16string childText) {
    children.push_back(XmlElement{std::move(childName), std::move(childText), {}});
    return children.back();
}

XmlElement ParseXml(std::u16string_view text) {
    std::string utf8 = Utf16ToUtf8(text);
    pugi::xml_document document;
    pugi::xml_parse_result result = document.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) throw XmlError(std::string("XML not well-formed: ") + result.description());
    pugi::xml_node root;
    for (const pugi::xml_node &child : document.children()) {
        if (child.type() != pugi::node_element) continue;
        if (root) throw XmlError("XML document with more than one root element");
        root = child;
    }
    if (!root) throw XmlError("XML document without a root element");
    return ConvertElement(root, 1);
}

std::u16string WriteXml(const XmlElement &root) {
    pugi::xml_document document;
    BuildNode(document, root, 1);
    StringWriter writer;
    document.save(writer, "  ",
                  pugi::format_indent | pugi::format_no_empty_element_tags | pugi::format_no_declaration,
                  pugi::encoding_utf8);
    // The library ends every line with "\n", the last one included. A line
    // feed inside a text turns into CR LF as well, which is what any reader
    // makes of it anyway: XML reads every line end as one "\n".
    std::u16string written = Utf8ToUtf16(writer.text);
    while (!written.empty() && written.back() == u'\n') written.pop_back();
    std::u16string result;
    result.reserve(written.size() + written.size() / 8);
    for (char16_t character : written) {
        if (character == u'\n') {
            result += u"\r\n";
        } else {
            result.push_back(character);
        }
    }
    return result;
}

}  // namespace ZavorPlatform
