#include "updateserver/catalog_signing.h"

#include "core/runtime_error.h"
#include "core/sha256.h"
#include "protocol/update_entry.h"
#include "updateserver/payload_signer.h"

#include <QString>

namespace upd::server {
namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

std::string signature(const SigningKey& key, const std::optional<QByteArray>& statement) {
    return key.sign(std::string_view(statement->constData(), std::size_t(statement->size())));
}

class Signing {
public:
    Signing(Catalog& catalog, const SigningKey& key) : catalog_(catalog), key_(key) {}

    void run() {
        for (auto& [code, product] : catalog_.products) {
            for (ProgramUpdate& update : product.programUpdates) {
                if (!update.elsewhere)
                    signUpdate(code, update);
            }
        }
        if (catalog_.updater)
            signUpdater(*catalog_.updater);
        if (!problems_.empty()) {
            std::string message = "Der Katalog kann nicht signiert werden:";
            for (const std::string& problem : problems_)
                message += "\n  " + problem;
            throw CatalogError(message);
        }
        catalog_.payloadSigner = std::make_shared<const PayloadSigner>(key_);
    }

private:
    std::optional<FileDigest> digest(const std::filesystem::path& relative,
                                     const std::string& where) {
        auto found = digestOfFile(text((catalog_.filesRoot / relative).string()));
        if (!found)
            problems_.push_back(where + ": Datei files/" + relative.string() +
                                " kann nicht gelesen werden");
        return found;
    }

    void signUpdate(const std::string& code, ProgramUpdate& update) {
        const std::string where = code + " Update " + update.version;
        SignedUpdate values{text(code),
                            text(update.version),
                            text(update.min),
                            text(update.max),
                            text(update.start_file),
                            readBooleanText(text(update.no_startup_args)),
                            readBooleanText(text(update.new_dlls)),
                            readBooleanText(text(update.new_master_version)),
                            text(update.filestoextract),
                            {}};
        for (const QString& name : text(update.files).split(u';')) {
            const auto found =
                digest(std::filesystem::path(update.path) / name.toStdString(), where);
            if (!found)
                return;
            values.files.push_back({name, found->size, found->sha256});
        }
        const auto statement = statementOf(values);
        if (!statement) {
            problems_.push_back(where + ": ein Wert enthält ein Steuerzeichen");
            return;
        }
        update.checksums = values.files;
        update.signature = signature(key_, statement);
    }

    void signUpdater(UpdaterRelease& updater) {
        const auto found = digest(std::filesystem::path(updater.path) / updater.file, "<updater>");
        if (!found)
            return;
        const auto statement = statementOf(
            SignedUpdater{text(updater.version), text(updater.file), found->size, found->sha256});
        if (!statement) {
            problems_.push_back("<updater>: ein Wert enthält ein Steuerzeichen");
            return;
        }
        updater.size = std::uintmax_t(found->size);
        updater.sha256 = found->sha256.toStdString();
        updater.signature = signature(key_, statement);
    }

    Catalog& catalog_;
    const SigningKey& key_;
    std::vector<std::string> problems_;
};

} // namespace

void signCatalog(Catalog& catalog, const SigningKey& key) {
    // The catalog's load has refused every Boolean that is none.
    try {
        Signing(catalog, key).run();
    } catch (const RuntimeError&) {
        throw CatalogError(
            "Der Katalog kann nicht signiert werden: ein Wahrheitswert ist ungültig");
    }
}

} // namespace upd::server
