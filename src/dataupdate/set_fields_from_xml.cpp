#include "dataupdate/set_fields_from_xml.h"

#include "core/runtime_error.h"
#include "dataupdate/payload_record.h"

#include <QStringList>

namespace upd::dataupdate {

void SetFieldsFromXml(RowValues& row, const QString& sourceNames, const QString& targetNames,
                      const XmlNode& record, bool emptyToNull) {
    const QStringList sources = sourceNames.split(u',');
    const QStringList targets = targetNames.split(u',');
    for (qsizetype i = 0; i < targets.size(); ++i) {
        if (i >= sources.size())
            throw RuntimeError(errnum::SubscriptOutOfRange);
        const QString value = record.firstElementText(sources.at(i));
        if (value.isEmpty())
            row.set(targets.at(i), emptyToNull ? QVariant() : QVariant(emptyText()));
        else
            row.set(targets.at(i), value);
    }
}

} // namespace upd::dataupdate
