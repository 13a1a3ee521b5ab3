#pragma once

#include "core/xml_document.h"
#include "dataupdate/install_sink.h"

#include <QString>
#include <initializer_list>
#include <string>
#include <vector>

namespace upd::dataupdate {

// The fields of one payload record: for each name asked for, the first element of that name
// anywhere below the record, in document order. The names are looked up in one walk over the
// record, which matters for sets of 100 000 records.
class PayloadRecord {
public:
    explicit PayloadRecord(std::initializer_list<const char*> fieldNames);

    // Takes the next record; RuntimeError 13 when the node is not an element.
    void read(const XmlNode& record);

    bool has(int field) const { return found_[std::size_t(field)] != pugi::xml_node(); }
    // The field's text, "" when the record lacks it.
    QString text(int field) const;
    // The field's text; RuntimeError 91 when the record lacks it (a field read without a test).
    QString required(int field) const;

private:
    std::vector<std::string> names_;
    std::vector<pugi::xml_node> found_;
};

// The set's records: the container's child nodes, with their count.
std::vector<XmlNode> recordsOf(const XmlNode& container);

// Walks a set's records with the record progress: each is read into `record` and handed to
// `write` when it holds every required field. True when a record lacked one and was passed over:
// the set then reports a faulty record once it has written the others.
template <class Fields, class Write>
bool writeCompleteRecords(const XmlNode& container, DataInstallSink& sink, PayloadRecord& record,
                          const Fields& required, Write&& write) {
    bool passedOver = false;
    const std::vector<XmlNode> records = recordsOf(container);
    RecordProgress progress(sink, std::int64_t(records.size()));
    for (const XmlNode& node : records) {
        progress.next();
        record.read(node);
        bool complete = true;
        for (const auto field : required)
            complete = complete && record.has(field);
        if (complete)
            write(record);
        else
            passedOver = true;
    }
    return passedOver;
}

// An empty text that a statement stores as "", not as NULL.
QString emptyText();

// Text without leading and trailing blanks (only blanks, as the hosts' import trims).
QString trimBlanks(const QString& text);

} // namespace upd::dataupdate
