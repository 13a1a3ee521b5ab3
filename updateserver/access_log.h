#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace upd::server {

// One line of the access log:
//   2025-03-01T09:15:02.345Z GET /update.aspx?VERS=3v1v0&PID=QGR 200 1234 0.8ms
// time of arrival (UTC), method, path with query as it arrived, status, bytes of the body, time
// taken ("-" when the request never reached the server's handlers). Bytes outside printable
// ASCII in the path are written as %XX, so a line is always one line.
std::string accessLogLine(std::chrono::system_clock::time_point arrival, std::string_view method,
                          std::string_view target, int status, std::uintmax_t bytes,
                          std::optional<std::chrono::nanoseconds> taken);

} // namespace upd::server
