#include "dataupdate/row_values.h"

#include "core/runtime_error.h"
#include "dataupdate/database_error.h"
#include "dataupdate/sqlite_connection.h"

#include <QSqlField>
#include <QSqlRecord>

namespace upd::dataupdate {

RowValues::RowValues(QStringList tableColumns) : tableColumns_(std::move(tableColumns)) {}

void RowValues::set(const QString& column, const QVariant& value) {
    if (!tableColumns_.contains(column, Qt::CaseInsensitive))
        throw RuntimeError(dberr::ItemNotFound,
                           QStringLiteral("Element in dieser Auflistung nicht gefunden (Feld "
                                          "'%1').")
                               .arg(column));
    for (auto& [name, stored] : values_) {
        if (name.compare(column, Qt::CaseInsensitive) == 0) {
            stored = value;
            return;
        }
    }
    values_.emplace_back(column, value);
}

RowWriter::RowWriter(QSqlDatabase& db, QString table) : db_(db), table_(std::move(table)) {}

QStringList RowWriter::columns() const {
    const QSqlRecord record = db_.record(table_);
    if (record.isEmpty())
        throw RuntimeError(dberr::TableNotFound,
                           QStringLiteral("Die Tabelle '%1' fehlt in der Datenbank.").arg(table_));
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names << record.fieldName(i);
    return names;
}

QStringList RowWriter::columnsOf(const RowValues& row) {
    QStringList columns;
    columns.reserve(qsizetype(row.values().size()));
    for (const auto& entry : row.values())
        columns << entry.first;
    return columns;
}

qint64 RowWriter::find(const QString& where, const QVariantList& keys) {
    auto found = finds_.find(where);
    if (found == finds_.end())
        found =
            finds_
                .emplace(where,
                         prepareOrThrow(db_, QStringLiteral("SELECT rowid FROM %1 WHERE %2 LIMIT 1")
                                                 .arg(quotedName(table_), where)))
                .first;
    QSqlQuery& query = found->second;
    for (int i = 0; i < keys.size(); ++i)
        query.bindValue(i, keys.at(i));
    executeOrThrow(query);
    const qint64 rowId = query.next() ? query.value(0).toLongLong() : -1;
    query.finish();
    return rowId;
}

void RowWriter::insert(const RowValues& row) {
    QStringList names = columnsOf(row);
    auto found = inserts_.find(names);
    if (found == inserts_.end()) {
        QString columns;
        QString values;
        for (const QString& name : names) {
            columns += (columns.isEmpty() ? QString() : QStringLiteral(",")) + quotedName(name);
            values += values.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        }
        const QString sql =
            columns.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedName(table_))
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quotedName(table_), columns, values);
        found = inserts_.emplace(std::move(names), prepareOrThrow(db_, sql)).first;
    }
    QSqlQuery& query = found->second;
    int position = 0;
    for (const auto& entry : row.values())
        query.bindValue(position++, entry.second);
    executeOrThrow(query);
}

void RowWriter::update(qint64 rowId, const RowValues& row) {
    if (row.values().empty())
        return;
    QStringList names = columnsOf(row);
    auto found = updates_.find(names);
    if (found == updates_.end()) {
        QString assignments;
        for (const QString& name : names)
            assignments += (assignments.isEmpty() ? QString() : QStringLiteral(",")) +
                           quotedName(name) + QStringLiteral("=?");
        found = updates_
                    .emplace(std::move(names),
                             prepareOrThrow(db_, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                                     .arg(quotedName(table_), assignments)))
                    .first;
    }
    QSqlQuery& query = found->second;
    int position = 0;
    for (const auto& entry : row.values())
        query.bindValue(position++, entry.second);
    query.bindValue(position, rowId);
    executeOrThrow(query);
}

} // namespace upd::dataupdate
