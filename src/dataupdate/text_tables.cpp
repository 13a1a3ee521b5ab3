// The three text tables of one text per record: indication, nutrient and laboratory-value texts.
// A new text is inserted when it has content, an existing one is overwritten; nutrient texts are
// then linked from their nutrient.

#include "core/numeric.h"
#include "dataupdate/error_trap.h"
#include "dataupdate/payload_record.h"
#include "dataupdate/row_values.h"
#include "dataupdate/sqlite_connection.h"
#include "dataupdate/table_procedures.h"
#include "dataupdate/text_conversions.h"

#include <QSqlQuery>
#include <optional>

namespace upd::dataupdate {
namespace {

enum Field { IdSynonim, IdBaustein, IdText, IdItem, Text, CreateDate, LastUpdate };

enum class Member { Indication, Nutrient, LaboratoryValue };

// What one record of a text table comes to.
struct TextRow {
    QString where;                                        // the key lookup
    QVariantList keys;                                    // its values
    std::vector<std::pair<QString, QVariant>> keyColumns; // set on insert
    QString storedText(const PayloadRecord& record) const;
    Member member;
};

QString TextRow::storedText(const PayloadRecord& record) const {
    const QString converted = ConvToHtml(record.text(Text));
    if (member == Member::LaboratoryValue)
        return QStringLiteral("<h2>#name#</h2><h3>Wissenswertes</h3>") + converted;
    return converted;
}

// The nutrient column that links a text of this block, or none for other blocks.
std::optional<QString> nutrientLinkColumn(const QString& block) {
    if (block == QLatin1String("28"))
        return QStringLiteral("id_text_wissen");
    if (block == QLatin1String("29"))
        return QStringLiteral("id_text_viel");
    if (block == QLatin1String("30"))
        return QStringLiteral("id_text_wenig");
    return std::nullopt;
}

class TextWriter {
public:
    TextWriter(QSqlDatabase& db, Member member, const QString& table)
        : db_(db), member_(member), texts_(db, table), row_(texts_.columns()) {
        if (member == Member::Indication)
            blockLookup_ = prepareOrThrow(
                db,
                QStringLiteral("SELECT 1 FROM \"tblbausteine\" WHERE \"id_baustein\"=? LIMIT 1"));
    }

    void write(const PayloadRecord& record) {
        std::optional<TextRow> text = rowFor(record);
        if (!text)
            return;
        const qint64 rowId = texts_.find(text->where, text->keys);
        const bool hasContent = record.has(Text) && !trimBlanks(record.text(Text)).isEmpty();
        row_.clear();
        if (rowId < 0) {
            if (hasContent) {
                for (const auto& [column, value] : text->keyColumns)
                    row_.set(column, value);
                setDatesAndText(record, text->storedText(record));
                texts_.insert(row_);
            }
        } else {
            setDatesAndText(record, record.has(Text) ? text->storedText(record) : emptyText());
            texts_.update(rowId, row_);
        }
        if (member_ == Member::Nutrient)
            linkNutrient(record, hasContent);
    }

private:
    // The lookup of the record's text, or nothing when the record is passed over.
    std::optional<TextRow> rowFor(const PayloadRecord& record) {
        switch (member_) {
        case Member::Indication: {
            const QString block = record.text(IdBaustein);
            if (!blockKnown(numeric::toInt16(block)))
                return std::nullopt;
            const QString synonym = record.text(IdSynonim);
            return TextRow{QStringLiteral("\"Indikations_Nr\"=? AND \"id_baustein\"=?"),
                           {synonym, numeric::toDouble(block)},
                           {{QStringLiteral("Indikations_Nr"), synonym},
                            {QStringLiteral("id_baustein"), block}},
                           member_};
        }
        case Member::Nutrient: {
            const QString textNumber = record.required(IdText);
            return TextRow{QStringLiteral("\"Nr\"=?"),
                           {textNumber},
                           {{QStringLiteral("Nr"), textNumber}},
                           member_};
        }
        case Member::LaboratoryValue: {
            const QString synonym = record.required(IdSynonim);
            return TextRow{
                QStringLiteral("\"Nr\"=?"), {synonym}, {{QStringLiteral("Nr"), synonym}}, member_};
        }
        }
        return std::nullopt;
    }

    // The set holds the write lock, so the few text blocks cannot change while it runs.
    bool blockKnown(int block) {
        const auto cached = knownBlocks_.find(block);
        if (cached != knownBlocks_.end())
            return cached->second;
        blockLookup_->bindValue(0, block);
        executeOrThrow(*blockLookup_);
        const bool known = blockLookup_->next();
        blockLookup_->finish();
        knownBlocks_.emplace(block, known);
        return known;
    }

    void setDatesAndText(const PayloadRecord& record, const QString& original) {
        if (record.has(CreateDate))
            row_.set(QStringLiteral("angelegt"), record.text(CreateDate));
        if (record.has(LastUpdate))
            row_.set(QStringLiteral("geändert"), record.text(LastUpdate));
        row_.set(QStringLiteral("original"), original);
        row_.set(QStringLiteral("Länge_Original"), int(original.size()));
    }

    // Points the nutrient's column for this block at the text, or at nothing when the text is
    // blank. Blocks other than 28, 29 and 30 have no column and are not linked.
    void linkNutrient(const PayloadRecord& record, bool hasContent) {
        const QString textNumber = record.required(IdText);
        const std::optional<QString> column = nutrientLinkColumn(record.text(IdBaustein));
        const QString nutrient = record.required(IdSynonim);
        if (!column)
            return;
        auto found = links_.find(*column);
        if (found == links_.end())
            found =
                links_
                    .emplace(*column,
                             prepareOrThrow(db_, QStringLiteral("UPDATE \"nährstoffe\" SET %1=? "
                                                                "WHERE \"nr\"=?")
                                                     .arg(quotedName(*column))))
                    .first;
        QSqlQuery& link = found->second;
        link.bindValue(0, hasContent ? QVariant(textNumber) : QVariant());
        link.bindValue(1, nutrient);
        executeOrThrow(link);
    }

    QSqlDatabase& db_;
    Member member_;
    RowWriter texts_;
    RowValues row_;
    std::optional<QSqlQuery> blockLookup_;
    std::map<int, bool> knownBlocks_;
    std::map<QString, QSqlQuery> links_;
};

bool installTexts(Member member, const QString& table, const std::vector<Field>& requiredFields,
                  QSqlDatabase& db, const XmlNode& container, QString& errText,
                  DataInstallSink& sink) {
    QString faulty;
    const bool trapped = runWithErrorTrap(errText, QString(), [&] {
        TextWriter writer(db, member, table);
        PayloadRecord record{"id_synonim", "id_baustein", "id_text",   "id_item",
                             "text",       "createdate",  "lastupdate"};
        if (writeCompleteRecords(container, sink, record, requiredFields,
                                 [&](const PayloadRecord& complete) { writer.write(complete); }))
            faulty = FaultyRecord;
    });
    if (trapped && !faulty.isEmpty())
        errText = faulty;
    return errText.isEmpty();
}

} // namespace

bool InstallNeueIndikationsTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                 DataInstallSink& sink) {
    return installTexts(Member::Indication, QStringLiteral("Indikationstexte"),
                        {IdSynonim, IdBaustein}, db, container, errText, sink);
}

bool InstallNeueNaehrstoffTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                DataInstallSink& sink) {
    return installTexts(Member::Nutrient, QStringLiteral("Nährstofftexte"), {IdItem, IdBaustein},
                        db, container, errText, sink);
}

bool InstallNeueLaborwerteTexte(QSqlDatabase& db, const XmlNode& container, QString& errText,
                                DataInstallSink& sink) {
    return installTexts(Member::LaboratoryValue, QStringLiteral("LaborwerteLexikontexte"),
                        {IdItem, IdBaustein}, db, container, errText, sink);
}

} // namespace upd::dataupdate
