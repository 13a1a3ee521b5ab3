#include "updateserver/file_area.h"

#include "updateserver/query_parameters.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace upd::server {

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F;
    });
}

bool isSafeRelativePath(std::string_view path) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (!isPlainFileName(path.substr(start, end - start)))
            return false;
        if (end == path.size())
            return true;
        start = end + 1;
    }
}

bool liesBelow(const std::filesystem::path& path, const std::filesystem::path& root) {
    const auto [rootEnd, pathEnd] =
        std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    (void)pathEnd;
    return rootEnd == root.end();
}

std::optional<std::filesystem::path> resolveServedFile(const std::filesystem::path& canonicalRoot,
                                                       std::string_view requestPath) {
    if (requestPath.empty() || requestPath.front() != '/')
        return std::nullopt;
    std::filesystem::path candidate = canonicalRoot;
    std::size_t start = 1;
    while (true) {
        const std::size_t end = std::min(requestPath.find('/', start), requestPath.size());
        const std::string segment = percentDecode(requestPath.substr(start, end - start));
        if (!isPlainFileName(segment))
            return std::nullopt;
        candidate /= segment;
        if (end == requestPath.size())
            break;
        start = end + 1;
    }
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(candidate, error);
    if (error || !liesBelow(resolved, canonicalRoot) ||
        !std::filesystem::is_regular_file(resolved, error))
        return std::nullopt;
    return resolved;
}

} // namespace upd::server
