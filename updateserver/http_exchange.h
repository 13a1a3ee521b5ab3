#pragma once

#include "updateserver/shared_bytes.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

struct MHD_Connection;

// What the HTTP layer hands to the server's pages and takes back from them.
namespace upd::server {

struct HttpRequest {
    std::string_view method;
    std::string_view target; // as it arrived: the percent-encoded path with its query
    std::string_view body;
    // The value of a header field ("" when absent); names compare without case.
    std::string_view header(const char* name) const;

    MHD_Connection* connection = nullptr;
};

// An open file, closed when the reply is dropped or once its bytes have been sent.
class OpenFile {
public:
    OpenFile() = default;
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    OpenFile(OpenFile&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    OpenFile& operator=(OpenFile&& other) noexcept;
    ~OpenFile();

    int descriptor() const { return descriptor_; }
    int release() { return std::exchange(descriptor_, -1); }

private:
    int descriptor_ = -1;
};

struct FileSlice {
    OpenFile file;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct HttpReply {
    int status = 200;
    std::string contentType;
    std::vector<std::pair<std::string, std::string>> headers;
    // Small answers are text; large prebuilt ones are sent from their shared parts without a
    // copy; files from the page cache.
    std::variant<std::string, std::vector<SharedBytes>, FileSlice> body;
};

// One request and its answer, for the access log.
struct HttpExchange {
    std::chrono::system_clock::time_point arrival;
    std::string_view method; // "" when the request was refused before it was read whole
    std::string_view target;
    int status = 0;
    std::uint64_t bytes = 0;
    // From arrival to the end of the answer; none when the request never reached the pages.
    std::optional<std::chrono::nanoseconds> taken;
};

} // namespace upd::server
