#include "core/xml_document.h"

#include <QXmlStreamReader>
#include <sstream>

namespace upd {
namespace {

QString fromUtf8(const char* text) {
    return QString::fromUtf8(text);
}

// All text below `node` in document order. Iterative: a hostile answer may nest as deep as its
// size allows, far deeper than the stack.
void appendText(pugi::xml_node node, std::string& out) {
    pugi::xml_node current = node.first_child();
    while (current && current != node) {
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata)
            out += current.value();
        if (current.type() == pugi::node_element && current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current != node && !current.next_sibling())
            current = current.parent();
        if (current != node)
            current = current.next_sibling();
    }
}

// True when the text is a well-formed XML document without a document type declaration. The DOM
// parser below is lenient (undefined entities, several roots, text around the root), so the
// strict reader decides first; a document type declaration is refused before anything in it could
// be expanded. Namespace prefixes are not checked, as XML 1.0 does not require them.
bool isWellFormedWithoutDoctype(const QByteArray& utf8) {
    QXmlStreamReader reader;
    // Text added as a QString fixes the reader to UTF-8 whatever the declaration names; the bytes
    // that follow are then read as UTF-8 without being copied.
    reader.addData(QString());
    reader.addData(utf8);
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::DTD)
            return false;
    }
    return !reader.hasError();
}

struct ElementCollector : pugi::xml_tree_walker {
    explicit ElementCollector(std::string name) : name(std::move(name)) {}
    bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_element && (name == "*" || name == node.name()))
            found.emplace_back(node);
        return true;
    }
    std::string name;
    std::vector<XmlNode> found;
};

} // namespace

QString XmlNode::nodeName() const {
    switch (node_.type()) {
    case pugi::node_element:
    case pugi::node_pi:
        return fromUtf8(node_.name());
    case pugi::node_declaration:
        return QStringLiteral("xml");
    case pugi::node_pcdata:
        return QStringLiteral("#text");
    case pugi::node_cdata:
        return QStringLiteral("#cdata-section");
    case pugi::node_comment:
        return QStringLiteral("#comment");
    case pugi::node_document:
        return QStringLiteral("#document");
    case pugi::node_doctype:
        return QStringLiteral("#doctype");
    case pugi::node_null:
        break;
    }
    return {};
}

QString XmlNode::localName() const {
    if (node_.type() != pugi::node_element)
        return {};
    const QString name = nodeName();
    return name.mid(name.indexOf(u':') + 1);
}

QString XmlNode::text() const {
    if (node_.type() == pugi::node_pcdata || node_.type() == pugi::node_cdata)
        return fromUtf8(node_.value());
    std::string out;
    appendText(node_, out);
    return QString::fromStdString(out);
}

QString XmlNode::xml() const {
    if (!node_)
        return {};
    std::ostringstream out;
    node_.print(out, "", pugi::format_raw | pugi::format_no_declaration);
    return QString::fromStdString(out.str());
}

std::vector<XmlNode> XmlNode::childNodes() const {
    std::vector<XmlNode> children;
    for (pugi::xml_node child : node_.children())
        children.emplace_back(child);
    return children;
}

std::vector<XmlNode> XmlNode::getElementsByTagName(const QString& name) const {
    ElementCollector collector(name.toStdString());
    pugi::xml_node start = node_;
    start.traverse(collector);
    return std::move(collector.found);
}

QString XmlNode::firstElementText(const QString& name) const {
    const auto elements = getElementsByTagName(name);
    return elements.empty() ? QString() : elements.front().text();
}

bool XmlNode::hasElement(const QString& name) const {
    return !getElementsByTagName(name).empty();
}

QString XmlNode::attribute(const QString& name) const {
    return QString::fromUtf8(node_.attribute(name.toUtf8().constData()).value());
}

XmlDocument::XmlDocument() : doc_(std::make_unique<pugi::xml_document>()) {}

bool XmlDocument::loadUtf8(QByteArray text) {
    doc_->reset();
    text_.clear();
    if (!isWellFormedWithoutDoctype(text))
        return false;
    constexpr unsigned options =
        pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;
    text_ = std::move(text);
    const pugi::xml_parse_result result = doc_->load_buffer_inplace(
        text_.data(), std::size_t(text_.size()), options, pugi::encoding_utf8);
    if (!result || !doc_->document_element()) {
        doc_->reset();
        text_.clear();
        return false;
    }
    return true;
}

} // namespace upd
