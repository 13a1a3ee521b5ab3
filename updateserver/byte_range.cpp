#include "updateserver/byte_range.h"

#include <optional>

namespace upd::server {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Decimal digits only, small enough not to overflow.
std::optional<std::uint64_t> number(std::string_view text) {
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

bool startsWithBytesUnit(std::string_view text) {
    constexpr std::string_view Unit = "bytes=";
    if (text.size() < Unit.size())
        return false;
    for (std::size_t i = 0; i < Unit.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != Unit[i])
            return false;
    }
    return true;
}

} // namespace

RangeChoice chooseRange(std::string_view header, std::uint64_t size) {
    const RangeChoice whole;
    header = trimmed(header);
    if (!startsWithBytesUnit(header))
        return whole;
    const std::string_view rangeText = trimmed(header.substr(6));
    const auto dash = rangeText.find('-');
    if (dash == std::string_view::npos || rangeText.find(',') != std::string_view::npos)
        return whole;
    const std::string_view firstText = rangeText.substr(0, dash);
    const std::string_view lastText = rangeText.substr(dash + 1);

    if (firstText.empty()) { // "-N": the last N bytes
        const auto suffix = number(lastText);
        if (!suffix)
            return whole;
        if (*suffix == 0 || size == 0)
            return {RangeChoice::Unsatisfiable};
        const std::uint64_t length = std::min(*suffix, size);
        return {RangeChoice::Part, size - length, length};
    }
    const auto first = number(firstText);
    const auto last =
        lastText.empty() ? std::optional<std::uint64_t>(UINT64_MAX) : number(lastText);
    if (!first || !last || *last < *first)
        return whole;
    if (*first >= size)
        return {RangeChoice::Unsatisfiable};
    return {RangeChoice::Part, *first, std::min(*last, size - 1) - *first + 1};
}

} // namespace upd::server
