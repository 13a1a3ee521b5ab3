#pragma once

#include <cstdint>
#include <string_view>

namespace upd::server {

// The part of a file a "Range" header asks for. One range is served; a header with several
// ranges, or one that is malformed, gets the whole file, so that no request can make the
// server send more than the file once.
struct RangeChoice {
    enum Kind { WholeFile, Part, Unsatisfiable };
    Kind kind = WholeFile;
    std::uint64_t first = 0;
    std::uint64_t length = 0;
};

// `header` is the value of "Range" ("" when absent); `size` the file's size.
RangeChoice chooseRange(std::string_view header, std::uint64_t size);

} // namespace upd::server
