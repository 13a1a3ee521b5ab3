#pragma once

// The bundled server's catalog signed as the maker signs it; the default build trusts the sample
// key. For test programs that link the update server.

#include "updateserver/catalog.h"
#include "updateserver/catalog_signing.h"
#include "updateserver/signing_key.h"

#include <filesystem>

namespace upd::test {

inline std::filesystem::path sampleSigningKeyFile() {
    return std::filesystem::path(SAMPLE_CATALOG_DIR) / "sample-signing-key";
}

inline server::Catalog signedCatalog(
    server::Catalog catalog,
    const server::SigningKey& key = server::SigningKey::readFile(sampleSigningKeyFile())) {
    server::signCatalog(catalog, key);
    return catalog;
}

inline server::Catalog signedCatalog(const std::filesystem::path& directory = SAMPLE_CATALOG_DIR) {
    return signedCatalog(server::Catalog::load(directory));
}

} // namespace upd::test
