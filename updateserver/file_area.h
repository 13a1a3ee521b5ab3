#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The files the server hands out lie below one directory; nothing outside it is ever served.
namespace upd::server {

// A single name: not empty, not "." or "..", without "/", "\" or control characters.
bool isPlainFileName(std::string_view name);

// Plain names joined by single "/", without a leading or trailing "/".
bool isSafeRelativePath(std::string_view path);

// The regular file that the path of a request (as it arrived, percent-encoded, with its leading
// "/" and without the query) names below `canonicalRoot`, or nothing. Every segment is decoded
// on its own and must be a plain name, so "%2e%2e" and an encoded "/" are refused as well; the
// resolved file, after following links, must still lie below the root.
std::optional<std::filesystem::path> resolveServedFile(const std::filesystem::path& canonicalRoot,
                                                       std::string_view requestPath);

// True when `path` is `root` or lies below it (both canonical).
bool liesBelow(const std::filesystem::path& path, const std::filesystem::path& root);

} // namespace upd::server
