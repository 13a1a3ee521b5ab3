#pragma once

#include "protocol/signed_statements.h"
#include "updateserver/shared_bytes.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The catalog a maker edits by hand: "catalog.xml" with the products, their program and data
// updates and the newest updater; "files/" with everything served below the server's base
// address; "data/" with the data payloads and their description pages. docs/update-server.md
// describes the format.
namespace upd::server {

struct ProgramUpdate {
    std::string version;
    std::string name;
    std::string min;
    std::string max;
    std::string files;
    std::string filestoextract;
    std::optional<std::int16_t> password; // plain; only its coded form leaves the server
    std::string path;
    std::string start_file;
    std::string new_dlls;
    std::string new_master_version;
    std::string no_startup_args;
    std::vector<std::string> hardwareXml; // "hardware" elements, serialised
    std::optional<std::string> elsewhere; // set: fetched by other means, with this text
    // Set by signCatalog: size and digest of every file, the maker's signature.
    std::vector<FileChecksum> checksums;
    std::string signature;
};

struct DataUpdate {
    std::string version;             // database version after the update
    std::optional<std::string> date; // publication date, YYYY-MM-DD
    // The payload's set elements, serialised one after the other once at load; every answer
    // that delivers this update sends these bytes.
    SharedBytes setsXml;
    std::string infoHtml; // description for the information page
    std::optional<std::string> elsewhere;
};

struct Product {
    std::string code;
    std::vector<ProgramUpdate> programUpdates; // in chain order
    std::vector<DataUpdate> dataUpdates;       // in ascending order
};

struct UpdaterRelease {
    std::string version; // fixed-width form, e.g. 2.01.0015
    std::string path;
    std::string file;
    std::uintmax_t size = 0;
    // Set by signCatalog: the digest of the file as it was then, and the maker's signature.
    std::string sha256;
    std::string signature;
};

class PayloadSigner;

class CatalogError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Catalog {
    std::filesystem::path directory;
    std::filesystem::path filesRoot; // directory / "files", canonical
    std::map<std::string, Product> products;
    std::optional<UpdaterRelease> updater;
    // Things that work but are probably not what the maker meant.
    std::vector<std::string> warnings;
    // Signs data payloads per answer; none when the catalog is not signed.
    std::shared_ptr<const PayloadSigner> payloadSigner;

    // Reads and checks the whole catalog. Every problem found is listed in the CatalogError.
    static Catalog load(const std::filesystem::path& directory);

    const Product* product(const std::string& code) const;
};

// The data sets the client's installation driver for a product writes; empty for a product
// without a data driver.
const std::vector<std::string>& dataSetsOf(const std::string& productCode);

} // namespace upd::server
