#pragma once

#include "updateserver/shared_bytes.h"
#include "updateserver/signing_key.h"

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace upd::server {

// Signs data payloads as they are answered. The signature names the request's product and
// database version, so it is made per answer; the digest of the payload's bytes is the costly
// part and is computed once per combination of data updates and kept.
class PayloadSigner {
public:
    explicit PayloadSigner(SigningKey key) : key_(std::move(key)) {}

    // The value of the signature header for an answer made of `parts` one after the other; ""
    // when the product or database version cannot stand in a statement (a control character).
    std::string sign(const std::string& product, const std::string& databaseVersion,
                     const std::vector<SharedBytes>& parts) const;
    // The same for an answer built as one text.
    std::string sign(const std::string& product, const std::string& databaseVersion,
                     std::string_view body) const;

private:
    std::string signDigest(const std::string& product, const std::string& databaseVersion,
                           const std::string& digest) const;

    const SigningKey key_;
    mutable std::mutex mutex_; // guards digests_: several event loops answer at once
    // Keyed by the parts' addresses, which the catalog keeps alive as long as this signer.
    mutable std::map<std::vector<const std::string*>, std::string> digests_;
};

} // namespace upd::server
