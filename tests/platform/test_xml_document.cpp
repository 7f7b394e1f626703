#include <gtest/gtest.h>

#include <string>

#include "platform/xml_document.h"

namespace {

using namespace ZavorPlatform;

TEST(XmlDocument, ParsesElementsAndCharacterData) {
    XmlElement root = ParseXml(
        u"<?xml version=\"1.0\"?>\r\n<Settings a=\"1\">\r\n  <ver> 100 </ver><!-- note -->"
        u"<Pfad>C:\\a &amp; b &lt;c&gt; &#228;</Pfad>between<Leer/><Cdata><![CDATA[<x>]]></Cdata>"
        u"<Tief>a<b>b<c>c</c></b>d</Tief>\u20AC<ver>2</ver></Settings>");
    EXPECT_EQ(root.name, u"Settings");
    ASSERT_EQ(root.children.size(), 6u);
    EXPECT_EQ(root.FindChild(u"ver")->text, u" 100 ");  // the first of its name
    EXPECT_EQ(root.FindChild(u"Pfad")->text, u"C:\\a & b <c> \u00E4");
    EXPECT_EQ(root.FindChild(u"Leer")->text, u"");
    EXPECT_EQ(root.FindChild(u"Cdata")->text, u"<x>");
    EXPECT_EQ(root.FindChild(u"Tief")->text, u"abcd");
    EXPECT_EQ(root.FindChild(u"fehlt"), nullptr);
    EXPECT_EQ(root.FindChild(u"VER"), nullptr);
}

TEST(XmlDocument, RefusesWhatIsNotOneWellFormedDocument) {
    const std::u16string bad[] = {
        u"", u"   ", u"Settings", u"<Settings>", u"<a></b>", u"<a/><b/>", u"<a b=1/>", u"<!-- -->",
    };
    for (const std::u16string &text : bad) {
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        EXPECT_THROW(ParseXml(text), XmlError);
    }
}

TEST(XmlDocument, NestingIsCapped) {
    auto nested = [](std::size_t depth) {
        std::u16string text;
        for (std::size_t i = 0; i < depth; ++i) text += u"<e>";
        for (std::size_t i = 0; i < depth; ++i) text += u"</e>";
        return text;
    };
    EXPECT_NO_THROW(ParseXml(nested(kMaxXmlDepth)));
    EXPECT_THROW(ParseXml(nested(kMaxXmlDepth + 1)), XmlError);
    EXPECT_THROW(ParseXml(nested(100000)), XmlError);
}

TEST(XmlDocument, WritesIndentedLinesWithCrLf) {
    XmlElement root{u"Settings", {}, {}};
    root.AddChild(u"ver", u"100");
    root.AddChild(u"Leer");
    root.AddChild(u"Pfad", u"a&b<c>\"d\" \u00E4\u20AC");
    XmlElement &group = root.AddChild(u"Gruppe");
    group.AddChild(u"Innen", u"x");
    EXPECT_EQ(WriteXml(root),
              u"<Settings>\r\n"
              u"  <ver>100</ver>\r\n"
              u"  <Leer></Leer>\r\n"
              u"  <Pfad>a&amp;b&lt;c&gt;\"d\" \u00E4\u20AC</Pfad>\r\n"
              u"  <Gruppe>\r\n"
              u"    <Innen>x</Innen>\r\n"
              u"  </Gruppe>\r\n"
              u"</Settings>");
}

TEST(XmlDocument, WrittenTextReadsBack) {
    XmlElement root{u"Settings", {}, {}};
    root.AddChild(u"Pfad", u"<&> \u00FC\u00DF \u20AC \u0001");
    root.AddChild(u"Leer");
    XmlElement read = ParseXml(WriteXml(root));
    EXPECT_EQ(read.FindChild(u"Pfad")->text, u"<&> \u00FC\u00DF \u20AC \u0001");
    EXPECT_EQ(read.FindChild(u"Leer")->text, u"");
}

}  // namespace
