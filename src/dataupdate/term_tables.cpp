// The four term tables: a term is one pair of term number and subject number. New terms are
// inserted, existing ones stay as they are; a new subject first gets an empty row in its parent
// table where the table has one.

#include "core/numeric.h"
#include "dataupdate/error_trap.h"
#include "dataupdate/payload_record.h"
#include "dataupdate/sqlite_connection.h"
#include "dataupdate/table_procedures.h"

#include <QSqlQuery>
#include <array>
#include <optional>

namespace upd::dataupdate {
namespace {

struct TermTable {
    QString table;
    QString itemColumn;
    QString synonymColumn;
    QString parentTable; // empty: none; its key column is "NR"
    bool numericItem;    // the term lookup compares the term number as a number
    QString createColumn;
    QString lastUpdateColumn; // empty: "lastupdate" is not read
    QString trapPlace;        // inserted after "modDataUpdate: " in error texts
};

enum Field { IdItem, IdSynonim, Name, Hauptname, CreateDate, LastUpdate };

// Optional columns, in the order they appear in a statement; bit i of a mask selects column i.
constexpr std::array<Field, 4> OptionalFields = {Name, Hauptname, CreateDate, LastUpdate};

class TermWriter {
public:
    TermWriter(QSqlDatabase& db, const TermTable& table)
        : db_(db), table_(table),
          termLookup_(
              prepareOrThrow(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? AND %3 = ? LIMIT 1")
                                     .arg(quotedName(table.table), quotedName(table.itemColumn),
                                          quotedName(table.synonymColumn)))) {
        if (!table.parentTable.isEmpty()) {
            const QString parent = quotedName(table.parentTable);
            parentLookup_ = prepareOrThrow(
                db, QStringLiteral("SELECT 1 FROM %1 WHERE \"NR\" = ? LIMIT 1").arg(parent));
            parentInsert_ = prepareOrThrow(
                db, QStringLiteral("INSERT INTO %1 (\"NR\") VALUES (?)").arg(parent));
        } else {
            // Where the two keys form a unique index, the insert itself passes over an existing
            // term: one statement per record instead of two. Other tables look up first.
            QSqlQuery probe(db);
            skipsExistingItself_ = probe.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (?,?)")
                                                     .arg(quotedName(table.table), keyColumns()) +
                                                 onConflictClause());
        }
    }

    void write(const PayloadRecord& record) {
        const QString item = record.text(IdItem);
        const QString synonym = record.text(IdSynonim);
        const QVariant itemKey =
            table_.numericItem ? QVariant(numeric::toDouble(item)) : QVariant(item);
        if (!skipsExistingItself_ && found(termLookup_, {itemKey, synonym}))
            return;
        if (parentLookup_ && !found(*parentLookup_, {synonym})) {
            parentInsert_->bindValue(0, synonym);
            executeOrThrow(*parentInsert_);
        }

        unsigned mask = 0;
        for (std::size_t i = 0; i < OptionalFields.size(); ++i)
            if (columnOf(OptionalFields[i]) != nullptr && record.has(OptionalFields[i]))
                mask |= 1u << i;
        QSqlQuery& insert = insertFor(mask);
        int position = 0;
        insert.bindValue(position++, item);
        insert.bindValue(position++, synonym);
        for (std::size_t i = 0; i < OptionalFields.size(); ++i)
            if (mask & (1u << i))
                insert.bindValue(position++, record.text(OptionalFields[i]));
        executeOrThrow(insert);
    }

private:
    const QString* columnOf(Field field) const {
        static const QString NameColumn = QStringLiteral("Name");
        static const QString HauptnameColumn = QStringLiteral("Hauptname");
        switch (field) {
        case Name:
            return &NameColumn;
        case Hauptname:
            return &HauptnameColumn;
        case CreateDate:
            return &table_.createColumn;
        case LastUpdate:
            return table_.lastUpdateColumn.isEmpty() ? nullptr : &table_.lastUpdateColumn;
        default:
            return nullptr;
        }
    }

    QString keyColumns() const {
        return quotedName(table_.itemColumn) + u',' + quotedName(table_.synonymColumn);
    }

    QString onConflictClause() const {
        return QStringLiteral(" ON CONFLICT (%1) DO NOTHING").arg(keyColumns());
    }

    static bool found(QSqlQuery& lookup, std::initializer_list<QVariant> keys) {
        int position = 0;
        for (const QVariant& key : keys)
            lookup.bindValue(position++, key);
        executeOrThrow(lookup);
        const bool any = lookup.next();
        lookup.finish();
        return any;
    }

    QSqlQuery& insertFor(unsigned mask) {
        std::optional<QSqlQuery>& insert = inserts_[mask];
        if (!insert) {
            QString columns = keyColumns();
            QString values = QStringLiteral("?,?");
            for (std::size_t i = 0; i < OptionalFields.size(); ++i) {
                if (mask & (1u << i)) {
                    columns += u',' + quotedName(*columnOf(OptionalFields[i]));
                    values += QStringLiteral(",?");
                }
            }
            QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(quotedName(table_.table), columns, values);
            if (skipsExistingItself_)
                sql += onConflictClause();
            insert = prepareOrThrow(db_, sql);
        }
        return *insert;
    }

    QSqlDatabase& db_;
    const TermTable& table_;
    QSqlQuery termLookup_;
    bool skipsExistingItself_ = false;
    std::optional<QSqlQuery> parentLookup_;
    std::optional<QSqlQuery> parentInsert_;
    std::array<std::optional<QSqlQuery>, 1u << OptionalFields.size()> inserts_;
};

bool installTerms(const TermTable& table, QSqlDatabase& db, const XmlNode& container,
                  QString& errText, DataInstallSink& sink) {
    QString faulty;
    const bool trapped = runWithErrorTrap(errText, table.trapPlace, [&] {
        TermWriter writer(db, table);
        PayloadRecord record{"id_item",   "id_synonim", "Name",
                             "Hauptname", "createdate", "lastupdate"};
        constexpr std::array required{IdItem, IdSynonim};
        if (writeCompleteRecords(container, sink, record, required,
                                 [&](const PayloadRecord& complete) { writer.write(complete); }))
            faulty = FaultyRecord;
    });
    if (trapped && !faulty.isEmpty())
        errText = faulty;
    return errText.isEmpty();
}

} // namespace

bool InstallNeueIndikationen(QSqlDatabase& db, const XmlNode& container, QString& errText,
                             DataInstallSink& sink) {
    static const TermTable table{QStringLiteral("Indikationsnamen"),
                                 QStringLiteral("ID"),
                                 QStringLiteral("NR"),
                                 QString(),
                                 false,
                                 QStringLiteral("CREATEDATE"),
                                 QStringLiteral("LASTUPDATE"),
                                 QString()};
    return installTerms(table, db, container, errText, sink);
}

bool InstallNeueNaehrstoffBegriffe(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                   DataInstallSink& sink) {
    static const TermTable table{QStringLiteral("Nährstoffbegriffe"),
                                 QStringLiteral("ID"),
                                 QStringLiteral("NR"),
                                 QStringLiteral("Nährstoffe"),
                                 false,
                                 QStringLiteral("CREATEDATE"),
                                 QStringLiteral("LASTUPDATE"),
                                 QString()};
    return installTerms(table, db, container, errText, sink);
}

bool InstallNeueLaborwerte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                           DataInstallSink& sink) {
    static const TermTable table{QStringLiteral("LaborwerteLexikon"),
                                 QStringLiteral("ID_Item"),
                                 QStringLiteral("ID_Synonim"),
                                 QStringLiteral("LaborwerteLexikontexte"),
                                 true,
                                 QStringLiteral("CREATEDATE"),
                                 QStringLiteral("LASTUPDATE"),
                                 QString()};
    return installTerms(table, db, container, errText, sink);
}

bool InstallNeueQGLexikonBegriffe(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                  DataInstallSink& sink) {
    static const TermTable table{QStringLiteral("Lexikonbegriffe"),
                                 QStringLiteral("ID_Item"),
                                 QStringLiteral("ID_Synonim"),
                                 QStringLiteral("Lexikontexte"),
                                 false,
                                 QStringLiteral("createdate"),
                                 QString(),
                                 QStringLiteral("InstallNeueQGLexikonBegriffe: ")};
    return installTerms(table, db, container, errText, sink);
}

} // namespace upd::dataupdate
