#include "updateserver/access_log.h"

#include <QDateTime>
#include <cstdio>

namespace upd::server {
namespace {

std::string printable(std::string_view text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F) {
            result += c;
        } else {
            result += '%';
            result += Hex[byte >> 4];
            result += Hex[byte & 0x0F];
        }
    }
    return result.empty() ? "-" : result;
}

std::string utcTimestamp(std::chrono::system_clock::time_point time) {
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(millis, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"))
        .toStdString();
}

} // namespace

std::string accessLogLine(std::chrono::system_clock::time_point arrival, std::string_view method,
                          std::string_view target, int status, std::uintmax_t bytes,
                          std::optional<std::chrono::nanoseconds> taken) {
    std::string line = utcTimestamp(arrival) + ' ' + printable(method) + ' ' + printable(target) +
                       ' ' + std::to_string(status) + ' ' + std::to_string(bytes) + ' ';
    if (taken) {
        char duration[32];
        std::snprintf(duration, sizeof duration, "%.1fms",
                      std::chrono::duration<double, std::milli>(*taken).count());
        line += duration;
    } else {
        line += '-';
    }
    return line;
}

} // namespace upd::server
