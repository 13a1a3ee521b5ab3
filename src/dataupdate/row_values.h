#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <utility>
#include <vector>

namespace upd::dataupdate {

// The values of one row being added or edited, column by column. Like a recordset's fields,
// assigning a column the table lacks is a run-time error (3265) at the assignment; column names
// are compared without regard to letter case, as the engine does.
class RowValues {
public:
    explicit RowValues(QStringList tableColumns);

    void set(const QString& column, const QVariant& value);
    void clear() { values_.clear(); }
    const std::vector<std::pair<QString, QVariant>>& values() const { return values_; }

private:
    QStringList tableColumns_;
    std::vector<std::pair<QString, QVariant>> values_;
};

// Writes rows of one table; a statement is prepared once for each condition or list of columns,
// and found again by it without its text being built for every row.
class RowWriter {
public:
    RowWriter(QSqlDatabase& db, QString table);

    QStringList columns() const; // the table's columns; RuntimeError when the table is missing

    // The row id of the first row matching `where` (an expression with "?" for `keys`), or -1.
    qint64 find(const QString& where, const QVariantList& keys);
    void insert(const RowValues& row);
    void update(qint64 rowId, const RowValues& row);

private:
    static QStringList columnsOf(const RowValues& row);

    QSqlDatabase& db_;
    QString table_;
    std::map<QString, QSqlQuery> finds_;       // by condition
    std::map<QStringList, QSqlQuery> inserts_; // by columns
    std::map<QStringList, QSqlQuery> updates_; // by columns
};

} // namespace upd::dataupdate
