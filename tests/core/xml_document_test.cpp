#include "core/xml_document.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace upd {
namespace {

QString names(const std::vector<XmlNode>& nodes) {
    QStringList result;
    for (const XmlNode& node : nodes)
        result << node.nodeName();
    return result.join(u' ');
}

// Reading elements, texts and markup back is shared with the deep document below.
TEST(XmlDocument, KeepsDeclarationAndCommentsButFindsTheRootElement) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<!-- Antwort -->\n"
        "<updates>\n  <update><version>3.1.1</version><name>Größe &amp; Co</name></update>\n"
        "  <update><version>3.1.2</version></update>\n</updates>")));
    EXPECT_EQ(names(doc.childNodes()), QStringLiteral("xml #comment updates"));
    const XmlNode root = doc.documentElement();
    // Whitespace between elements is not kept as text nodes.
    EXPECT_EQ(names(root.childNodes()), QStringLiteral("update update"));
    EXPECT_EQ(root.childNodes()[0].text(), QStringLiteral("3.1.1Größe & Co"));
    EXPECT_EQ(root.firstElementText(QStringLiteral("missing")), QString());
    EXPECT_EQ(doc.getElementsByTagName(QStringLiteral("*")).size(), 6u);
}

// An undefined entity, a second root and text before the root are refused as server answers by the
// search's window test. A failed load leaves an empty document, not the previous one.
TEST(XmlDocument, OnlyWellFormedDocumentsWithoutDocumentTypeLoad) {
    XmlDocument doc;
    for (const char* text : {
             "", "<!-- nur ein Kommentar -->", "<html><body>Fehler</html>",
             "<updates/>Fehler",                         // text after the root
             "<a b='1' b='2'/>",                         // an attribute twice
             "<a b='<'/>",                               // "<" in a value
             "<a>]]></a>",                               // "]]>" in content
             "<a>& b</a>",                               // a bare "&"
             "<a>&#0;</a>",                              // a character XML does not allow
             "<!-- a -- b --><a/>",                      // "--" in a comment
             " <?xml version='1.0'?><a/>",               // the declaration not at the start
             "<!DOCTYPE a [<!ENTITY x 'y'>]><a>&x;</a>", // entity definitions are refused
         }) {
        ASSERT_TRUE(doc.loadXml(QStringLiteral("<a:root xmlns:a=\"urn:x\"/>")));
        EXPECT_FALSE(doc.loadXml(QString::fromUtf8(text))) << text;
        EXPECT_TRUE(doc.documentElement().isNull()) << text;
        EXPECT_TRUE(doc.childNodes().empty()) << text;
    }
    // Declaration, comments and processing instructions may precede the root, comments follow
    // it; the predefined and numeric references are read. The text is already decoded: an
    // encoding the declaration names is not looked for. Prefixed names keep their prefix.
    ASSERT_TRUE(doc.loadXml(QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"x-unbekannt\"?><?pi x?><!--c--><a:r xmlns:a=\"urn:x\">"
        "&lt;&#228;&#xE4;&amp;<![CDATA[&x;]]></a:r><!--d-->")));
    EXPECT_EQ(doc.documentElement().text(), QStringLiteral("<ää&&x;"));
    EXPECT_EQ(doc.documentElement().nodeName(), QStringLiteral("a:r"));
    EXPECT_EQ(doc.documentElement().localName(), QStringLiteral("r"));
}

TEST(XmlDocument, DeepNestingIsWalkedWithoutTheStack) {
    // An error answer whose first child nests far deeper than the stack could recurse.
    constexpr int Depth = 200'000;
    QString text = QStringLiteral("<error>");
    text.reserve(Depth * 7 + 64);
    for (int i = 0; i < Depth; ++i)
        text += QStringLiteral("<a>");
    text += u'7';
    for (int i = 0; i < Depth; ++i)
        text += QStringLiteral("</a>");
    text += QStringLiteral("<t>x</t></error>");
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(text));
    const XmlNode root = doc.documentElement();
    EXPECT_EQ(root.firstChild().text(), QStringLiteral("7"));
    EXPECT_EQ(root.text(), QStringLiteral("7x"));
    EXPECT_EQ(root.getElementsByTagName(QStringLiteral("a")).size(), std::size_t(Depth));
    EXPECT_EQ(root.firstElementText(QStringLiteral("t")), QStringLiteral("x"));
    EXPECT_EQ(root.xml().size(), text.size());
}

} // namespace
} // namespace upd
