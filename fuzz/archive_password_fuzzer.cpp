// The coded archive password of an update entry ("pw"), as the server sends it.

#include "core/deployment_settings.h"
#include "fuzz_check.h"
#include "protocol/archive_password.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const upd::DeploymentSettings deployment = upd::DeploymentSettings::compiledDefaults();
    const QString coded =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::int16_t password = -1;
    std::int32_t errorNumber = 0;
    const bool decoded = upd::DecodeArchivePassword(deployment, coded, password, errorNumber);
    // Either a password or an error number, never both, never neither.
    FUZZ_CHECK(decoded == (errorNumber == 0));
    FUZZ_CHECK(decoded || password == -1);
    return 0;
}
