#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// The parameters of a request as the client sends them: "KEY=value" items joined by "&", each
// value percent-encoded as Windows-1252 bytes (see src/protocol/wire_address.h).
namespace upd::server {

// Keys are compared exactly (the client's keys are fixed). Values are UTF-8.
class QueryParameters {
public:
    // Splits at "&" and at the first "=" of each item; items without "=" are dropped. The first
    // occurrence of a key wins, so that an "&" inside a late unencoded value (SPL, SDn) cannot
    // replace a key sent before it. "+" stays "+": the client never sends a blank as "+".
    static QueryParameters parse(std::string_view raw);

    std::optional<std::string> value(const std::string& key) const;
    // The value, or "" when the key is missing.
    std::string text(const std::string& key) const;
    bool has(const std::string& key) const { return values_.count(key) != 0; }

private:
    std::map<std::string, std::string> values_;
};

// "%XX" becomes the byte XX; a "%" that does not start such an escape stays as it is.
std::string percentDecode(std::string_view text);

// The bytes read as Windows-1252, returned as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);

// The host version of a query ("3v1v0") in its dotted form ("3.1.0"), or nothing when it is not
// three parts of decimal digits.
std::optional<std::string> dottedVersion(std::string_view queryVersion);

} // namespace upd::server
