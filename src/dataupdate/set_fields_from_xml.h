#pragma once

#include "core/xml_document.h"
#include "dataupdate/row_values.h"

#include <QString>

namespace upd::dataupdate {

// Copies fields of a payload record into a row by two parallel comma-separated name lists: the
// i-th target column gets the text of the first element named by the i-th source name ("" when
// there is none; NULL instead of "" when `emptyToNull`). Names are taken exactly as written.
// A source list shorter than the target list is run-time error 9 at the first missing name;
// a target column the table lacks is error 3265. Columns assigned before an error keep their
// values; the row is not saved.
void SetFieldsFromXml(RowValues& row, const QString& sourceNames, const QString& targetNames,
                      const XmlNode& record, bool emptyToNull);

} // namespace upd::dataupdate
