// The update information page, as the server sends it, checked before the HTML view gets it.

#include "ui/html_view_bounds.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)upd::fitsHtmlView(page);
    // Tight bounds reach every refusal with small inputs.
    (void)upd::fitsHtmlView(page, {64, 4, 2, 1024});
    return 0;
}
