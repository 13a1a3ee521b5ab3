// Lexicon texts: a text comes as a run of section records of one entry; each run is joined into
// one HTML text that replaces the entry's text. Entries the database lacks are passed over.

#include "core/numeric.h"
#include "dataupdate/error_trap.h"
#include "dataupdate/payload_record.h"
#include "dataupdate/row_values.h"
#include "dataupdate/table_procedures.h"

namespace upd::dataupdate {
namespace {

enum Field { IdSynonim, Level, Heading, Text, CreateDate, LastUpdate };

const QString EntryKey = QStringLiteral("\"Nr\"=?");

QVariant nullWhenEmpty(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// One section: with a level-2 heading, the heading as <h2> before the text.
QString section(const PayloadRecord& record) {
    if (numeric::toDouble(record.required(Level)) == 2)
        return QStringLiteral("<h2>") + record.required(Heading) + QStringLiteral("</h2>") +
               record.required(Text);
    return record.required(Text);
}

struct Run {
    QString html;
    QString entry;
    QString creationDate;
    QString changeDate;
};

class LexiconWriter {
public:
    explicit LexiconWriter(QSqlDatabase& db)
        : texts_(db, QStringLiteral("Lexikontexte")), row_(texts_.columns()) {}

    bool entryExists(const QString& entry) { return texts_.find(EntryKey, {entry}) >= 0; }

    void write(const Run& run) {
        const qint64 rowId = texts_.find(EntryKey, {run.entry});
        if (rowId < 0)
            return;
        row_.clear();
        row_.set(QStringLiteral("original"), nullWhenEmpty(run.html));
        row_.set(QStringLiteral("angelegt"), nullWhenEmpty(run.creationDate));
        row_.set(QStringLiteral("geändert"), nullWhenEmpty(run.changeDate));
        row_.set(QStringLiteral("Länge_Original"), int(run.html.size()));
        texts_.update(rowId, row_);
    }

private:
    RowWriter texts_;
    RowValues row_;
};

} // namespace

bool InstallNeueLexikonTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                             DataInstallSink& sink) {
    return runWithErrorTrap(errText, QString(), [&] {
        LexiconWriter writer(db);
        PayloadRecord record{"id_synonim", "ueberschrift_level", "ueberschrift",
                             "text",       "createdate",         "lastupdate"};
        Run run;
        const std::vector<XmlNode> records = recordsOf(container);
        RecordProgress progress(sink, std::int64_t(records.size()));
        for (const XmlNode& node : records) {
            progress.next();
            record.read(node);
            const QString entry = record.required(IdSynonim);
            if (!writer.entryExists(entry))
                continue;
            if (entry != run.entry) {
                if (!run.html.isEmpty())
                    writer.write(run);
                // A run's dates are those of its first record; a date it lacks stays empty and
                // is stored as NULL, never the previous run's.
                run = Run{QStringLiteral("<h1>#titel#</h1>"), entry, QString(), QString()};
                if (record.has(Text))
                    run.html += section(record);
                if (record.has(LastUpdate))
                    run.changeDate = record.text(LastUpdate);
                if (record.has(CreateDate))
                    run.creationDate = record.text(CreateDate);
            } else if (!run.html.isEmpty()) {
                run.html += section(record);
            } else {
                run.html = QStringLiteral("<h1>#titel#</h1>");
            }
        }
        if (!run.html.isEmpty())
            writer.write(run);
    });
}

} // namespace upd::dataupdate
