// Self-help groups: a group the table lacks is inserted, a group it has gets every field
// overwritten. A run-time error does not stop the set: its text is kept and the procedure goes
// on with the next step, as the hosts' own import does.

#include "dataupdate/error_trap.h"
#include "dataupdate/payload_record.h"
#include "dataupdate/row_values.h"
#include "dataupdate/set_fields_from_xml.h"
#include "dataupdate/table_procedures.h"

#include <optional>

namespace upd::dataupdate {
namespace {

const QString SourceNames = QStringLiteral(
    "NAME,ZUSATZ,STRASSE,Land,PLZ,ORT,TELEFON,TELEFAX,INTERNET,EMAIL,BEMERKUNG,Bemerkung-Datei,"
    "GEAENDERT,NEU,TREFFER,createdate,lastupdate");
const QString TargetNames = QStringLiteral(
    "NAME,ZUSATZ,STRASSE,Land,PLZ,ORT,TELEFON,TELEFAX,INTERNET,EMAIL,BEMERKUNG,Bemerkung-Datei,"
    "GEAENDERT,NEU,TREFFER,AnlegeDatum,Aenderungsdatum");

// Runs one step; a run-time error becomes the procedure's text and the next step follows.
template <class Step> bool resumeNext(QString& errText, Step&& step) {
    try {
        step();
        return true;
    } catch (const RuntimeError& error) {
        errText = QStringLiteral("modDataUpdate: ") + error.description();
        return false;
    }
}

} // namespace

bool InstallNeueSHG(QSqlDatabase& db, const XmlNode& container, QString& errText,
                    DataInstallSink& sink) {
    errText.clear();
    RowWriter groups(db, QStringLiteral("shg"));
    std::optional<RowValues> row;
    resumeNext(errText, [&] { row.emplace(groups.columns()); });
    if (!row)
        row.emplace(QStringList()); // every assignment then fails, as on a missing table

    const std::vector<XmlNode> records = recordsOf(container);
    RecordProgress progress(sink, std::int64_t(records.size()));
    for (const XmlNode& record : records) {
        progress.next();
        if (!record.isElement()) {
            resumeNext(errText, [] { throw RuntimeError(errnum::TypeMismatch); });
            continue;
        }
        if (!record.hasElement(QStringLiteral("NR"))) {
            errText = FaultyRecord;
            continue;
        }
        const QString nr = record.firstElementText(QStringLiteral("NR"));
        qint64 rowId = -1;
        // A failed lookup leaves nothing to add or edit: the record's further steps fail too.
        if (!resumeNext(errText, [&] { rowId = groups.find(QStringLiteral("\"NR\"=?"), {nr}); }))
            continue;
        row->clear();
        if (rowId < 0)
            resumeNext(errText, [&] { row->set(QStringLiteral("NR"), nr); });
        resumeNext(errText,
                   [&] { SetFieldsFromXml(*row, SourceNames, TargetNames, record, true); });
        resumeNext(errText, [&] {
            if (rowId < 0)
                groups.insert(*row);
            else
                groups.update(rowId, *row);
        });
    }
    return errText.isEmpty();
}

} // namespace upd::dataupdate
