#pragma once

#include "updateserver/catalog.h"
#include "updateserver/signing_key.h"

namespace upd::server {

// Signs what the catalog offers with the maker's key: each program update (not those fetched
// elsewhere) gets the size and digest of its files and its signature, the updater its digest and
// signature, and the catalog a PayloadSigner for the data answers. Reads every such file once.
// Throws CatalogError listing everything that cannot be signed (a file that cannot be read, a
// value with a control character). docs/update-server.md describes the statements.
void signCatalog(Catalog& catalog, const SigningKey& key);

} // namespace upd::server
