#pragma once

#include "core/deployment_settings.h"
#include "core/error_catalogue.h"

#include <QString>
#include <cstdint>

namespace upd {

inline constexpr int PasswordKeyLength = 120;

// Builds the 120-digit key (every digit 1..9) from the three password constants. On failure sets
// `errorNumber` to 900400019 and returns false.
bool BuildPasswordKey(const DeploymentSettings& deployment, QString& key,
                      std::int32_t& errorNumber);

// Turns the coded text of an update entry's "pw" element into the archive password. On failure
// sets `errorNumber` (900400019 or 900400032), leaves `password` alone and returns false.
bool DecodeArchivePassword(const DeploymentSettings& deployment, const QString& coded,
                           std::int16_t& password, std::int32_t& errorNumber);

} // namespace upd
