#include "updateserver/answers.h"

#include "protocol/signed_statements.h"
#include "updateserver/password_encoder.h"
#include "updateserver/payload_signer.h"

#include <pugixml.hpp>
#include <sstream>

namespace upd::server {
namespace {

const char* const XmlType = "text/xml; charset=utf-8";
const char* const HtmlType = "text/html; charset=utf-8";

const std::string MalformedText =
    "Die Anfrage an den Update-Server ist unvollständig oder fehlerhaft.";
const std::string UnknownProductText =
    "Für dieses Produkt bietet der Update-Server keine Updates an.";
const std::string PasswordUnavailableText =
    "Der Update-Server kann die Updates zurzeit nicht anbieten.";
const std::string ProgramElsewhereText =
    "Für Ihre Programm-Version gibt es Updates, die nicht über das Internet installiert werden "
    "können. Bitte wenden Sie sich an unseren Kundendienst.";
const std::string DataElsewhereText =
    "Für Ihre Daten gibt es Updates, die nicht über das Internet installiert werden können. "
    "Bitte wenden Sie sich an unseren Kundendienst.";

std::string serialise(const pugi::xml_document& document) {
    std::ostringstream text;
    document.save(text, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return text.str();
}

Answer xmlAnswer(const pugi::xml_document& document) {
    return {200, XmlType, serialise(document), {}, {}};
}

void appendText(pugi::xml_node parent, const char* name, const std::string& text) {
    parent.append_child(name).text().set(text.c_str());
}

// Appends serialised elements (kept verbatim from the catalog) to `parent`.
void appendFragments(pugi::xml_node parent, const std::vector<std::string>& fragments) {
    for (const std::string& fragment : fragments)
        parent.append_buffer(fragment.data(), fragment.size(), pugi::parse_default,
                             pugi::encoding_utf8);
}

// <checksums><checksum file="…" size="…" sha256="…"/>…</checksums><signature>…</signature>
void appendSignature(pugi::xml_node entry, const ProgramUpdate& update) {
    pugi::xml_node checksums = entry.append_child("checksums");
    for (const FileChecksum& file : update.checksums) {
        pugi::xml_node checksum = checksums.append_child("checksum");
        checksum.append_attribute("file").set_value(file.file.toStdString().c_str());
        checksum.append_attribute("size").set_value(std::to_string(file.size).c_str());
        checksum.append_attribute("sha256").set_value(file.sha256.toStdString().c_str());
    }
    appendText(entry, "signature", update.signature);
}

std::string escapeHtml(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The requested product with a valid version, or the number and text of the error answer.
struct ProductRequest {
    const Product* product = nullptr;
    std::string version;
    std::int32_t errorNumber = 0;
    std::string errorText;
};

ProductRequest productRequest(const Catalog& catalog, const QueryParameters& query) {
    ProductRequest request;
    const auto version = dottedVersion(query.text("VERS"));
    if (!version || query.text("PID").empty()) {
        request.errorNumber = errcode::MalformedRequest;
        request.errorText = MalformedText;
        return request;
    }
    request.version = *version;
    request.product = catalog.product(query.text("PID"));
    if (request.product == nullptr) {
        request.errorNumber = errcode::UnknownProduct;
        request.errorText = UnknownProductText;
    }
    return request;
}

template <typename Update> struct Selection {
    std::vector<const Update*> online;
    // The first applicable update that is fetched by other means; nothing after it is offered.
    const Update* elsewhere = nullptr;
};

// Walks the entries as the installation run does: an entry that fits the current version is
// taken and its version becomes the current one.
Selection<ProgramUpdate> selectProgramUpdates(const Product& product, std::string version) {
    Selection<ProgramUpdate> selection;
    for (const ProgramUpdate& update : product.programUpdates) {
        if (update.min <= version && version <= update.max) {
            if (update.elsewhere) {
                selection.elsewhere = &update;
                break;
            }
            selection.online.push_back(&update);
            version = update.version;
        }
    }
    return selection;
}

// "dd.mm.yyyy" (the configuration dialog's form, also with one-digit day or month) or
// "yyyy-mm-dd" as "yyyy-mm-dd"; "" stays ""; nothing when it is neither.
std::optional<std::string> isoDate(const std::string& text) {
    if (text.empty())
        return text;
    if (text.size() == 10 && text[4] == '-' && text[7] == '-')
        return text;
    const auto firstDot = text.find('.');
    const auto secondDot = text.find('.', firstDot + 1);
    if (firstDot == std::string::npos || secondDot == std::string::npos)
        return std::nullopt;
    const std::string day = text.substr(0, firstDot);
    const std::string month = text.substr(firstDot + 1, secondDot - firstDot - 1);
    const std::string year = text.substr(secondDot + 1);
    const auto digits = [](const std::string& part, std::size_t minimum, std::size_t maximum) {
        return part.size() >= minimum && part.size() <= maximum &&
               part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(day, 1, 2) || !digits(month, 1, 2) || !digits(year, 4, 4))
        return std::nullopt;
    const auto twoDigits = [](const std::string& part) {
        return part.size() == 1 ? "0" + part : part;
    };
    return year + "-" + twoDigits(month) + "-" + twoDigits(day);
}

// Data updates newer than the host's database version (compared as text), or, with a search
// date, published on or after it.
std::optional<Selection<DataUpdate>> selectDataUpdates(const Product& product,
                                                       const QueryParameters& query) {
    const auto searchDate = isoDate(query.text("SEARCHDATE"));
    if (!searchDate)
        return std::nullopt;
    const std::string databaseVersion = query.text("DBVers");
    Selection<DataUpdate> selection;
    for (const DataUpdate& update : product.dataUpdates) {
        const bool newer = databaseVersion < update.version;
        const bool searched = !searchDate->empty() && update.date && *update.date >= *searchDate;
        if (!newer && !searched)
            continue;
        if (update.elsewhere) {
            selection.elsewhere = &update;
            break;
        }
        selection.online.push_back(&update);
    }
    return selection;
}

std::string orDefault(const std::optional<std::string>& text, const std::string& fallback) {
    return text && !text->empty() ? *text : fallback;
}

} // namespace

Answer errorAnswer(std::int32_t number, const std::string& description) {
    pugi::xml_document document;
    pugi::xml_node error = document.append_child("error");
    appendText(error, "number", std::to_string(number));
    appendText(error, "description", description);
    return xmlAnswer(document);
}

Answer programUpdateAnswer(const Catalog& catalog, const DeploymentSettings& deployment,
                           const QueryParameters& query) {
    const ProductRequest request = productRequest(catalog, query);
    if (request.errorNumber != 0)
        return errorAnswer(request.errorNumber, request.errorText);
    const auto selection = selectProgramUpdates(*request.product, request.version);
    if (selection.online.empty() && selection.elsewhere)
        return errorAnswer(errcode::ProgramUpdatesElsewhere,
                           orDefault(selection.elsewhere->elsewhere, ProgramElsewhereText));

    pugi::xml_document document;
    pugi::xml_node root = document.append_child("updates");
    for (const ProgramUpdate* update : selection.online) {
        std::string coded;
        if (update->password) {
            const auto encoded =
                EncodeArchivePassword(deployment, *update->password,
                                      passwordVariant(request.product->code, update->version));
            if (!encoded)
                return errorAnswer(errcode::PasswordUnavailable, PasswordUnavailableText);
            coded = encoded->toStdString();
        }
        pugi::xml_node entry = root.append_child("update");
        appendText(entry, "version", update->version);
        appendText(entry, "name", update->name);
        appendText(entry, "min", update->min);
        appendText(entry, "max", update->max);
        appendText(entry, "files", update->files);
        appendText(entry, "filestoextract", update->filestoextract);
        appendText(entry, "pw", coded);
        appendText(entry, "path", update->path);
        appendText(entry, "start_file", update->start_file);
        appendText(entry, "new_dlls", update->new_dlls);
        appendText(entry, "new_master_version", update->new_master_version);
        appendText(entry, "no_startup_args", update->no_startup_args);
        if (!update->signature.empty())
            appendSignature(entry, *update);
        appendFragments(root, update->hardwareXml);
    }
    return xmlAnswer(document);
}

Answer dataUpdateAnswer(const Catalog& catalog, const QueryParameters& query) {
    const ProductRequest request = productRequest(catalog, query);
    if (request.errorNumber != 0)
        return errorAnswer(request.errorNumber, request.errorText);
    const std::string mode = query.text("MODUS");
    const auto selection = selectDataUpdates(*request.product, query);
    if (!selection || (mode != "0" && mode != "2"))
        return errorAnswer(errcode::MalformedRequest, MalformedText);
    if (selection->online.empty() && selection->elsewhere)
        return errorAnswer(errcode::DataUpdatesElsewhere,
                           orDefault(selection->elsewhere->elsewhere, DataElsewhereText));

    const PayloadSigner* signer = catalog.payloadSigner.get();
    const auto signPayload = [&](Answer answer) {
        const std::string signature =
            answer.parts.empty()
                ? signer->sign(request.product->code, query.text("DBVers"), answer.body)
                : signer->sign(request.product->code, query.text("DBVers"), answer.parts);
        if (!signature.empty())
            answer.headers.emplace_back(PayloadSignatureHeader, signature);
        return answer;
    };
    if (mode == "2" && !selection->online.empty()) {
        static const SharedBytes Open = std::make_shared<const std::string>("<dataupdate>");
        static const SharedBytes Close = std::make_shared<const std::string>("</dataupdate>");
        Answer answer{200, XmlType, {}, {Open}, {}};
        for (const DataUpdate* update : selection->online)
            if (update->setsXml)
                answer.parts.push_back(update->setsXml);
        answer.parts.push_back(Close);
        return signer ? signPayload(std::move(answer)) : answer;
    }
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("dataupdate");
    if (mode == "0") {
        // The client counts an update when the root holds any text.
        pugi::xml_node found = root.append_child("updatefound");
        if (!selection->online.empty())
            found.text().set("1");
    }
    // An empty payload is a payload too: signed, it cannot be faked into one with sets.
    return signer && mode == "2" ? signPayload(xmlAnswer(document)) : xmlAnswer(document);
}

Answer dataInformationPage(const Catalog& catalog, const QueryParameters& query) {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                       "<title>Daten-Updates</title></head><body>\n";
    const auto finish = [&html](int status) {
        html += "</body></html>\n";
        return Answer{status, HtmlType, html, {}, {}};
    };
    const ProductRequest request = productRequest(catalog, query);
    const auto selection =
        request.product ? selectDataUpdates(*request.product, query) : std::nullopt;
    if (!selection) {
        const bool unknown = request.errorNumber == errcode::UnknownProduct;
        html += "<p>" + escapeHtml(unknown ? UnknownProductText : MalformedText) + "</p>\n";
        return finish(unknown ? 404 : 400);
    }
    html += "<h1>Daten-Updates</h1>\n";
    for (const DataUpdate* update : selection->online) {
        html += "<h2>Datenstand " + escapeHtml(update->version) + "</h2>\n";
        html += update->infoHtml + "\n";
    }
    if (selection->elsewhere)
        html += "<p>" + escapeHtml(orDefault(selection->elsewhere->elsewhere, DataElsewhereText)) +
                "</p>\n";
    else if (selection->online.empty())
        html += "<p>Es sind keine neuen Daten vorhanden.</p>\n";
    return finish(200);
}

Answer updaterInformation(const Catalog& catalog) {
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("updater");
    if (catalog.updater) {
        appendText(root, "version", catalog.updater->version);
        appendText(root, "path", catalog.updater->path);
        appendText(root, "file", catalog.updater->file);
        if (!catalog.updater->signature.empty()) {
            // Signed: exactly the values of the signature, taken when the catalog was loaded.
            appendText(root, "size", std::to_string(catalog.updater->size));
            appendText(root, "sha256", catalog.updater->sha256);
            appendText(root, "signature", catalog.updater->signature);
            return xmlAnswer(document);
        }
        // Measured now, so that a replaced file is announced with its own size.
        std::error_code error;
        const auto size = std::filesystem::file_size(
            catalog.filesRoot / catalog.updater->path / catalog.updater->file, error);
        appendText(root, "size", std::to_string(error ? catalog.updater->size : size));
    }
    return xmlAnswer(document);
}

} // namespace upd::server
