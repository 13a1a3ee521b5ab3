#include "protocol/signed_statements.h"

#include <algorithm>

namespace upd {
namespace {

bool hasControlCharacter(const QString& value) {
    return std::any_of(value.begin(), value.end(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool isDigestText(const QString& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

// Collects the lines; one value that cannot stand in a line spoils the statement.
class Statement {
public:
    explicit Statement(const char* kind) { text_ = QString::fromLatin1(kind) + u'\n'; }

    Statement& line(const char* key, const QString& value) {
        valid_ = valid_ && !hasControlCharacter(value);
        text_ += QString::fromLatin1(key) + u'=' + value + u'\n';
        return *this;
    }
    Statement& line(const char* key, bool value) {
        return line(key, value ? QStringLiteral("True") : QStringLiteral("False"));
    }
    Statement& line(const char* key, std::int64_t value) {
        valid_ = valid_ && value >= 0;
        return line(key, QString::number(value));
    }

    std::optional<QByteArray> text() const {
        if (!valid_)
            return std::nullopt;
        return text_.toUtf8();
    }

private:
    QString text_;
    bool valid_ = true;
};

} // namespace

std::optional<QByteArray> statementOf(const SignedUpdate& update) {
    Statement statement("update");
    statement.line("product", update.product)
        .line("version", update.version)
        .line("min", update.min)
        .line("max", update.max)
        .line("start_file", update.startFile)
        .line("no_startup_args", update.noStartupArgs)
        .line("new_dlls", update.newDlls)
        .line("new_master_version", update.newMasterVersion)
        .line("filestoextract", update.filesToExtract);
    for (const FileChecksum& file : update.files) {
        // The name comes last, the only part of the line that may hold blanks.
        if (file.size < 0 || !isDigestText(file.sha256))
            return std::nullopt;
        statement.line("file", file.sha256 + u' ' + QString::number(file.size) + u' ' + file.file);
    }
    return statement.text();
}

std::optional<QByteArray> statementOf(const SignedUpdater& updater) {
    return Statement("updater")
        .line("version", updater.version)
        .line("file", updater.file)
        .line("size", updater.size)
        .line("sha256", updater.sha256)
        .text();
}

std::optional<QByteArray> statementOf(const SignedPayload& payload) {
    return Statement("data")
        .line("product", payload.product)
        .line("database_version", payload.databaseVersion)
        .line("sha256", payload.sha256)
        .text();
}

} // namespace upd
