#include "updateserver/catalog.h"

#include "core/numeric.h"
#include "updateserver/file_area.h"

#include <QString>
#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <set>
#include <sstream>

namespace upd::server {
namespace {

namespace fs = std::filesystem;

// Whole-file reads of the client are limited to 32 767 bytes.
constexpr std::uintmax_t MaxTermsOfUseSize = 32767;

const std::vector<std::string> IndikLexikonSHGSets = {
    "new_indik",     "indik_texte", "new_qg_lexikon_begriffe",
    "lexikon_texte", "new_shg",     "shg_updates"};
const std::vector<std::string> NaehrstoffSets = {"new_naehrst", "naehrst_texte"};
const std::vector<std::string> IndikLaborwerteSets = {"new_indik", "indik_texte", "new_laborw",
                                                      "laborw_texte"};
const std::vector<std::string> NoSets;

const std::set<std::string> KnownProducts = {"QAR", "QBR", "QGR", "QHR", "QJRK", "QM", "QPR"};

// Appends what pugixml writes to a string, without a stream in between.
struct StringWriter : pugi::xml_writer {
    explicit StringWriter(std::string& target) : target(target) {}
    void write(const void* data, std::size_t size) override {
        target.append(static_cast<const char*>(data), size);
    }
    std::string& target;
};

std::string serialise(const pugi::xml_node& node) {
    std::ostringstream text;
    node.print(text, "", pugi::format_raw);
    return text.str();
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Three parts of decimal digits joined by ".".
bool isVersionText(const std::string& text) {
    int parts = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(text.find('.', start), text.size());
        if (!allDigits(std::string_view(text).substr(start, end - start)))
            return false;
        ++parts;
        if (end == text.size())
            return parts == 3;
        start = end + 1;
    }
}

// Digits per part, so that versions of one product can be checked for equal widths.
std::vector<std::size_t> partWidths(const std::string& version) {
    std::vector<std::size_t> widths;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(version.find('.', start), version.size());
        widths.push_back(end - start);
        if (end == version.size())
            return widths;
        start = end + 1;
    }
}

// The updater's fixed-width form: major, minor with two digits, revision with four.
bool isFixedWidthVersion(const std::string& text) {
    const auto widths = partWidths(text);
    return isVersionText(text) && widths[1] >= 2 && widths[2] >= 4;
}

// True or False in any letter case, or a number.
bool isBooleanText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    return value.compare(u"true", Qt::CaseInsensitive) == 0 ||
           value.compare(u"false", Qt::CaseInsensitive) == 0 || numeric::isNumeric(value);
}

bool isDateText(const std::string& text) {
    return text.size() == 10 && allDigits(text.substr(0, 4)) && text[4] == '-' &&
           allDigits(text.substr(5, 2)) && text[7] == '-' && allDigits(text.substr(8, 2));
}

std::vector<std::string> splitFiles(const std::string& files) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(files.find(';', start), files.size());
        names.push_back(files.substr(start, end - start));
        if (end == files.size())
            return names;
        start = end + 1;
    }
}

class Loader {
public:
    explicit Loader(const fs::path& directory) { catalog_.directory = directory; }

    Catalog load() {
        std::error_code error;
        catalog_.filesRoot = fs::canonical(catalog_.directory / "files", error);
        if (error) {
            throw CatalogError("Katalog " + catalog_.directory.string() +
                               ": Verzeichnis \"files\" fehlt");
        }
        pugi::xml_document document;
        const fs::path file = catalog_.directory / "catalog.xml";
        const pugi::xml_parse_result parsed = document.load_file(file.c_str());
        if (!parsed) {
            throw CatalogError(file.string() + ": " + parsed.description() + " (Byte " +
                               std::to_string(parsed.offset) + ")");
        }
        const pugi::xml_node root = document.document_element();
        if (std::string_view(root.name()) != "catalog")
            problem("das Wurzelelement muss \"catalog\" heißen");

        for (const pugi::xml_node product : root.children("product"))
            loadProduct(product);
        if (const pugi::xml_node updater = root.child("updater"))
            loadUpdater(updater);
        checkTermsOfUse();

        if (!problems_.empty()) {
            std::string message = file.string() + ":";
            for (const std::string& text : problems_)
                message += "\n  " + text;
            throw CatalogError(message);
        }
        return std::move(catalog_);
    }

private:
    void problem(const std::string& text) { problems_.push_back(text); }
    void warning(const std::string& text) { catalog_.warnings.push_back(text); }

    // The text of a required child element; a problem when it is missing or empty.
    std::string required(const pugi::xml_node& parent, const char* name, const std::string& where) {
        const pugi::xml_node child = parent.child(name);
        const std::string text = child.text().get();
        if (!child || text.empty())
            problem(where + ": <" + name + "> fehlt oder ist leer");
        return text;
    }

    std::string booleanText(const pugi::xml_node& parent, const char* name,
                            const std::string& where) {
        const pugi::xml_node child = parent.child(name);
        if (!child)
            return "False";
        const std::string text = child.text().get();
        if (!isBooleanText(text))
            problem(where + ": <" + name + "> muss True, False oder eine Zahl sein");
        return text;
    }

    std::optional<std::string> optionalText(const pugi::xml_node& parent, const char* name) {
        const pugi::xml_node child = parent.child(name);
        if (!child)
            return std::nullopt;
        return std::string(child.text().get());
    }

    void loadProduct(const pugi::xml_node& element) {
        const std::string code = element.attribute("code").value();
        if (code.empty()) {
            problem("<product> ohne Attribut code");
            return;
        }
        if (catalog_.products.count(code) != 0) {
            problem("Produkt " + code + " ist doppelt eingetragen");
            return;
        }
        if (KnownProducts.count(code) == 0)
            warning("Produkt " + code + " ist dem Update-Programm unbekannt");
        Product product;
        product.code = code;
        for (const pugi::xml_node update : element.children("update"))
            product.programUpdates.push_back(loadProgramUpdate(code, update));
        for (const pugi::xml_node data : element.children("data"))
            product.dataUpdates.push_back(loadDataUpdate(code, data));
        checkVersionWidths(product);
        catalog_.products.emplace(code, std::move(product));
    }

    ProgramUpdate loadProgramUpdate(const std::string& code, const pugi::xml_node& element) {
        ProgramUpdate update;
        const std::string version = element.child("version").text().get();
        const std::string where = code + " Update " + (version.empty() ? "?" : version);
        update.version = required(element, "version", where);
        update.name = required(element, "name", where);
        update.min = required(element, "min", where);
        update.max = required(element, "max", where);
        update.files = required(element, "files", where);
        update.path = required(element, "path", where);
        update.start_file = required(element, "start_file", where);
        update.filestoextract = element.child("filestoextract").text().get();
        update.new_dlls = booleanText(element, "new_dlls", where);
        update.new_master_version = booleanText(element, "new_master_version", where);
        update.no_startup_args = booleanText(element, "no_startup_args", where);
        update.elsewhere = optionalText(element, "elsewhere");
        for (const pugi::xml_node hardware : element.children("hardware")) {
            // The client pairs the answer's "version" and "name" elements by their order in the
            // whole document: one more inside a hardware element would break the pairing.
            if (hardware.find_node([](pugi::xml_node n) {
                    return std::string_view(n.name()) == "version" ||
                           std::string_view(n.name()) == "name";
                }))
                problem(where +
                        ": \"hardware\" darf keine Elemente \"version\" oder \"name\" enthalten");
            update.hardwareXml.push_back(serialise(hardware));
        }

        for (const std::string* text : {&update.version, &update.min, &update.max}) {
            if (!text->empty() && !isVersionText(*text))
                problem(where + ": \"" + *text + "\" ist keine Version aus drei Zahlen");
        }
        if (update.max < update.min)
            problem(where + ": <min> liegt über <max>");
        if (const auto password = optionalText(element, "password");
            password && !password->empty()) {
            // The client's archive password is a signed 16-bit number.
            std::int16_t value = 0;
            const char* end = password->data() + password->size();
            const auto [stop, error] = std::from_chars(password->data(), end, value);
            if (error != std::errc() || stop != end)
                problem(where + ": <password> muss eine Zahl von -32768 bis 32767 sein");
            else
                update.password = value;
        }
        if (!update.start_file.empty() && !isPlainFileName(update.start_file))
            problem(where + ": <start_file> muss ein einfacher Dateiname sein");
        if (!update.path.empty() && !isSafeRelativePath(update.path))
            problem(where + ": <path> muss ein relativer Pfad ohne \"..\" sein");
        else if (!update.files.empty())
            checkFiles(update, where);
        return update;
    }

    void checkFiles(const ProgramUpdate& update, const std::string& where) {
        const auto names = splitFiles(update.files);
        for (const std::string& name : names) {
            if (!isPlainFileName(name)) {
                problem(where + ": \"" + name + "\" in <files> ist kein Dateiname");
            } else if (!update.elsewhere &&
                       !fs::is_regular_file(catalog_.filesRoot / update.path / name)) {
                problem(where + ": Datei files/" + update.path + "/" + name + " fehlt");
            }
        }
        const bool extracts =
            std::find(names.begin(), names.end(), update.filestoextract) != names.end();
        if (!update.filestoextract.empty() && !extracts)
            warning(where + ": <filestoextract> nennt keine Datei aus <files>");
        if (update.password && !extracts)
            warning(where + ": <password> ohne entpacktes Archiv");
    }

    DataUpdate loadDataUpdate(const std::string& code, const pugi::xml_node& element) {
        DataUpdate update;
        const std::string where =
            code + " Daten " + std::string(element.child("version").text().as_string("?"));
        update.version = required(element, "version", where);
        update.date = optionalText(element, "date");
        update.elsewhere = optionalText(element, "elsewhere");
        if (update.date && !isDateText(*update.date))
            problem(where + ": <date> muss die Form JJJJ-MM-TT haben");
        const std::string payload = required(element, "payload", where);
        if (!payload.empty())
            update.setsXml = loadPayload(code, payload, where);
        if (const auto info = optionalText(element, "info"))
            update.infoHtml = readCatalogFile(*info, where);
        return update;
    }

    std::string readCatalogFile(const std::string& relative, const std::string& where) {
        if (!isSafeRelativePath(relative)) {
            problem(where + ": \"" + relative + "\" muss ein relativer Pfad ohne \"..\" sein");
            return {};
        }
        std::ifstream stream(catalog_.directory / relative, std::ios::binary);
        if (!stream) {
            problem(where + ": Datei " + relative + " fehlt");
            return {};
        }
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    SharedBytes loadPayload(const std::string& code, const std::string& relative,
                            const std::string& where) {
        std::string text = readCatalogFile(relative, where);
        if (text.empty())
            return nullptr;
        // Parsed in place: a large payload is held once as text and once as its tree.
        pugi::xml_document document;
        const pugi::xml_parse_result parsed =
            document.load_buffer_inplace(text.data(), text.size());
        if (!parsed) {
            problem(where + ": " + relative + ": " + parsed.description());
            return nullptr;
        }
        const auto& known = dataSetsOf(code);
        if (known.empty())
            problem(where + ": für " + code + " gibt es keine Daten-Updates");
        auto sets = std::make_shared<std::string>();
        StringWriter writer{*sets};
        for (const pugi::xml_node set : document.document_element().children()) {
            if (set.type() != pugi::node_element)
                continue; // comments of the maker stay in the file
            const std::string name = set.name();
            if (std::find(known.begin(), known.end(), name) == known.end() && !known.empty())
                problem(where + ": " + relative + ": <" + name + "> ist kein Datensatz von " +
                        code);
            if (set.first_child().type() != pugi::node_element)
                problem(where + ": " + relative + ": <" + name +
                        "> braucht als erstes Kind ein Element mit den Datensätzen");
            set.print(writer, "", pugi::format_raw);
        }
        sets->shrink_to_fit();
        return sets;
    }

    void loadUpdater(const pugi::xml_node& element) {
        UpdaterRelease updater;
        updater.version = required(element, "version", "<updater>");
        updater.path = required(element, "path", "<updater>");
        updater.file = required(element, "file", "<updater>");
        if (!updater.version.empty() && !isFixedWidthVersion(updater.version))
            problem("<updater>: <version> braucht die Form 2.01.0015");
        if (!isSafeRelativePath(updater.path) || !isPlainFileName(updater.file)) {
            problem("<updater>: <path> oder <file> ist kein sicherer Name");
            return;
        }
        std::error_code error;
        updater.size = fs::file_size(catalog_.filesRoot / updater.path / updater.file, error);
        if (error)
            problem("<updater>: Datei files/" + updater.path + "/" + updater.file + " fehlt");
        catalog_.updater = updater;
    }

    void checkTermsOfUse() {
        std::error_code error;
        const auto size = fs::file_size(catalog_.filesRoot / "downloads" / "lizenz.txt", error);
        if (error)
            problem("files/downloads/lizenz.txt (Nutzungsbedingungen) fehlt");
        else if (size > MaxTermsOfUseSize)
            problem("files/downloads/lizenz.txt ist größer als 32767 Bytes");
    }

    // Versions compare as text, so every version of a product needs the same digits per part.
    void checkVersionWidths(const Product& product) {
        std::optional<std::vector<std::size_t>> first;
        for (const ProgramUpdate& update : product.programUpdates) {
            for (const std::string* text : {&update.min, &update.max, &update.version}) {
                if (!isVersionText(*text))
                    continue;
                if (!first)
                    first = partWidths(*text);
                else if (partWidths(*text) != *first)
                    warning(product.code + ": Version " + *text +
                            " hat andere Stellenzahlen als die übrigen (Versionen werden als "
                            "Text verglichen)");
            }
        }
    }

    Catalog catalog_;
    std::vector<std::string> problems_;
};

} // namespace

Catalog Catalog::load(const std::filesystem::path& directory) {
    return Loader(directory).load();
}

const Product* Catalog::product(const std::string& code) const {
    const auto found = products.find(code);
    return found == products.end() ? nullptr : &found->second;
}

const std::vector<std::string>& dataSetsOf(const std::string& productCode) {
    if (productCode == "QGR" || productCode == "QHR")
        return IndikLexikonSHGSets;
    if (productCode == "QBR")
        return NaehrstoffSets;
    if (productCode == "QAR" || productCode == "QJRK")
        return IndikLaborwerteSets;
    return NoSets;
}

} // namespace upd::server
