#include "protocol/products.h"

#include <array>
#include <utility>

namespace upd {

bool GetProductBaseVersion(const QString& productCode, QString& version) {
    static const std::array<std::pair<const char*, const char*>, 7> baseVersions = {{
        {"QAR", "5.1.0"},
        {"QBR", "4.1.0"},
        {"QM", "3.0.0"},
        {"QGR", "3.1.0"},
        {"QHR", "3.1.0"},
        {"QJRK", "4.0.0"},
        {"QPR", "6.1.0"},
    }};
    version.clear();
    for (const auto& [code, base] : baseVersions) {
        if (productCode == QLatin1String(code)) {
            version = QString::fromLatin1(base);
            return true;
        }
    }
    return false;
}

} // namespace upd
