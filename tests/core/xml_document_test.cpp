#include "core/xml_document.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace upd {
namespace {

QStringList names(const std::vector<XmlNode>& nodes) {
    QStringList result;
    for (const XmlNode& node : nodes)
        result << node.nodeName();
    return result;
}

TEST(XmlDocument, KeepsDeclarationAndCommentsButFindsTheRootElement) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<!-- Antwort -->\n"
        "<updates>\n  <update><version>3.1.1</version><name>Größe &amp; Co</name></update>\n"
        "  <update><version>3.1.2</version></update>\n</updates>")));
    EXPECT_EQ(doc.firstChild().nodeName(), QStringLiteral("xml"));
    EXPECT_EQ(names(doc.childNodes()),
              (QStringList{QStringLiteral("xml"), QStringLiteral("#comment"),
                           QStringLiteral("updates")}));
    const XmlNode root = doc.documentElement();
    EXPECT_EQ(root.nodeName(), QStringLiteral("updates"));
    // Whitespace between elements is not kept as text nodes.
    EXPECT_EQ(names(root.childNodes()),
              (QStringList{QStringLiteral("update"), QStringLiteral("update")}));

    const auto versions = doc.getElementsByTagName(QStringLiteral("version"));
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(versions[0].text(), QStringLiteral("3.1.1"));
    EXPECT_EQ(versions[1].text(), QStringLiteral("3.1.2"));
    EXPECT_EQ(root.childNodes()[0].text(), QStringLiteral("3.1.1Größe & Co"));
    EXPECT_EQ(root.firstElementText(QStringLiteral("name")), QStringLiteral("Größe & Co"));
    EXPECT_EQ(root.firstElementText(QStringLiteral("missing")), QString());
    EXPECT_EQ(doc.getElementsByTagName(QStringLiteral("*")).size(), 6u);
    EXPECT_EQ(root.childNodes()[1].xml(),
              QStringLiteral("<update><version>3.1.2</version></update>"));
}

TEST(XmlDocument, PrefixedNamesAndFailedLoads) {
    XmlDocument doc;
    ASSERT_TRUE(
        doc.loadXml(QStringLiteral("<a:root xmlns:a=\"urn:x\"><a:item>1</a:item></a:root>")));
    EXPECT_EQ(doc.documentElement().nodeName(), QStringLiteral("a:root"));
    EXPECT_EQ(doc.documentElement().localName(), QStringLiteral("root"));

    // A failed load leaves an empty document, not the previous one.
    EXPECT_FALSE(doc.loadXml(QStringLiteral("<html><body>Fehler</html>")));
    EXPECT_TRUE(doc.documentElement().isNull());
    EXPECT_TRUE(doc.childNodes().empty());
    EXPECT_FALSE(doc.loadXml(QString()));
    EXPECT_FALSE(doc.loadXml(QStringLiteral("<!-- nur ein Kommentar -->")));
}

} // namespace
} // namespace upd
