#pragma once

#include "core/deployment_settings.h"
#include "core/error_catalogue.h"
#include "updateserver/catalog.h"
#include "updateserver/query_parameters.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The answers of the server's pages, built from the catalog and the request's parameters.
// XML answers are UTF-8 without a declaration: the client takes the document's first node as
// its root element.
namespace upd::server {

struct Answer {
    int status = 200;
    std::string contentType;
    std::string body;
    // A data payload is not assembled per request: it is sent from the bytes built at catalog
    // load, and `body` is then empty. The answer is these parts one after the other.
    std::vector<SharedBytes> parts;
    // Further response headers: the signature of a data payload.
    std::vector<std::pair<std::string, std::string>> headers;
};

// "<error><number>…</number><description>…</description></error>"
Answer errorAnswer(std::int32_t number, const std::string& description);

// "update.aspx": the chain of program updates that the installation run will walk from the
// requested version, each as an "update" element followed by its "hardware" elements.
Answer programUpdateAnswer(const Catalog& catalog, const DeploymentSettings& deployment,
                           const QueryParameters& query);

// "dataupdate.aspx", MODUS 0 (search) and 2 (the payload, signed in a header when the catalog
// is).
Answer dataUpdateAnswer(const Catalog& catalog, const QueryParameters& query);

// "dataupdateframe.aspx": an HTML page that describes the data updates the request would get.
Answer dataInformationPage(const Catalog& catalog, const QueryParameters& query);

// "updateproginfo.aspx": version, path, file and size of the newest updater.
Answer updaterInformation(const Catalog& catalog);

} // namespace upd::server
