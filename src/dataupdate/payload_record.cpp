#include "dataupdate/payload_record.h"

#include "core/runtime_error.h"

#include <cstring>

namespace upd::dataupdate {
namespace {

void appendText(pugi::xml_node node, std::string& out) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        else if (child.type() == pugi::node_element)
            appendText(child, out);
    }
}

} // namespace

QString emptyText() {
    // Not a null string: Qt SQL binds a null string as NULL.
    return QStringLiteral("");
}

PayloadRecord::PayloadRecord(std::initializer_list<const char*> fieldNames)
    : names_(fieldNames.begin(), fieldNames.end()), found_(names_.size()) {}

void PayloadRecord::read(const XmlNode& record) {
    if (!record.isElement())
        throw RuntimeError(errnum::TypeMismatch);
    std::fill(found_.begin(), found_.end(), pugi::xml_node());
    std::size_t missing = names_.size();

    // Depth-first, in document order, without recursion.
    const pugi::xml_node root = record.raw();
    pugi::xml_node node = root.first_child();
    while (node && missing > 0) {
        if (node.type() == pugi::node_element) {
            const char* name = node.name();
            for (std::size_t i = 0; i < names_.size(); ++i) {
                if (!found_[i] && std::strcmp(names_[i].c_str(), name) == 0) {
                    found_[i] = node;
                    --missing;
                }
            }
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        if (node == root)
            break;
        node = node.next_sibling();
    }
}

QString PayloadRecord::text(int field) const {
    const pugi::xml_node node = found_[std::size_t(field)];
    const pugi::xml_node child = node.first_child();
    if (!child)
        return emptyText();
    // The common case, one text child, without building a std::string.
    if (!child.next_sibling() &&
        (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata))
        return QString::fromUtf8(child.value());
    std::string out;
    appendText(node, out);
    return QString::fromStdString(out);
}

QString PayloadRecord::required(int field) const {
    if (!has(field))
        throw RuntimeError(errnum::ObjectNotSet);
    return text(field);
}

std::vector<XmlNode> recordsOf(const XmlNode& container) {
    return container.childNodes();
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace upd::dataupdate
