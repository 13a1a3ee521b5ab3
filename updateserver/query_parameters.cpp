#include "updateserver/query_parameters.h"

#include "core/windows1252.h"

#include <QByteArray>

namespace upd::server {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool allDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

std::string percentDecode(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                decoded += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return windows1252::decode(raw).toStdString();
}

QueryParameters QueryParameters::parse(std::string_view raw) {
    QueryParameters parameters;
    std::size_t start = 0;
    while (start <= raw.size()) {
        const std::size_t end = std::min(raw.find('&', start), raw.size());
        const std::string_view item = raw.substr(start, end - start);
        const std::size_t equals = item.find('=');
        if (equals != std::string_view::npos) {
            std::string key = windows1252ToUtf8(percentDecode(item.substr(0, equals)));
            std::string value = windows1252ToUtf8(percentDecode(item.substr(equals + 1)));
            parameters.values_.try_emplace(std::move(key), std::move(value));
        }
        start = end + 1;
    }
    return parameters;
}

std::optional<std::string> QueryParameters::value(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

std::string QueryParameters::text(const std::string& key) const {
    return value(key).value_or(std::string());
}

std::optional<std::string> dottedVersion(std::string_view queryVersion) {
    std::string dotted;
    int parts = 0;
    std::size_t start = 0;
    while (start <= queryVersion.size()) {
        const std::size_t end = std::min(queryVersion.find('v', start), queryVersion.size());
        const std::string_view part = queryVersion.substr(start, end - start);
        if (!allDigits(part) || ++parts > 3)
            return std::nullopt;
        if (!dotted.empty())
            dotted += '.';
        dotted += part;
        start = end + 1;
    }
    if (parts != 3)
        return std::nullopt;
    return dotted;
}

} // namespace upd::server
