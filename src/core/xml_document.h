#pragma once

#include <QString>
#include <memory>
#include <pugixml.hpp>
#include <vector>

namespace upd {

// One node of an XmlDocument: a cheap handle, valid while its document lives and is not reloaded.
// A null node answers every question with an empty result.
class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(pugi::xml_node node) : node_(node) {}

    bool isNull() const { return !node_; }
    bool isElement() const { return node_.type() == pugi::node_element; }

    // The qualified name ("a:b"); "#text", "#comment", "#document" and so on for other nodes.
    QString nodeName() const;
    // The name without its prefix.
    QString localName() const;
    // All text below the node, joined in document order.
    QString text() const;
    // The node serialised as XML, without indentation.
    QString xml() const;

    XmlNode firstChild() const { return XmlNode(node_.first_child()); }
    std::vector<XmlNode> childNodes() const;
    // Descendant elements with this qualified name ("*" for all), in document order.
    std::vector<XmlNode> getElementsByTagName(const QString& name) const;
    // The text of the first descendant element of that name, or "" when there is none.
    QString firstElementText(const QString& name) const;
    bool hasElement(const QString& name) const;
    // The value of the element's attribute, or "" when it has none of that name.
    QString attribute(const QString& name) const;

    pugi::xml_node raw() const { return node_; }

private:
    pugi::xml_node node_;
};

// The program's XML document. Loading keeps declarations, comments and processing instructions
// as nodes, and drops text that is only whitespace.
class XmlDocument {
public:
    XmlDocument();

    // Replaces the content. A text that is not a well-formed XML document, or that declares a
    // document type, leaves the document empty and gives false: no entity is ever expanded.
    bool loadXml(const QString& text) { return loadUtf8(text.toUtf8()); }
    // The same for text in UTF-8, which the document keeps and parses in place: a large answer
    // is held once as bytes and once as nodes, and the previous content goes first. Pass it with
    // std::move; an encoding named in its declaration is not followed.
    bool loadUtf8(QByteArray text);

    // The first node of the document, which may be a declaration or a comment.
    XmlNode firstChild() const { return root().firstChild(); }
    // The root element, whatever precedes it.
    XmlNode documentElement() const { return XmlNode(doc_->document_element()); }
    std::vector<XmlNode> childNodes() const { return root().childNodes(); }
    std::vector<XmlNode> getElementsByTagName(const QString& name) const {
        return root().getElementsByTagName(name);
    }
    QString xml() const { return root().xml(); }
    XmlNode root() const { return XmlNode(*doc_); }

private:
    std::unique_ptr<pugi::xml_document> doc_;
    QByteArray text_; // the parsed text, which the nodes point into
};

} // namespace upd
