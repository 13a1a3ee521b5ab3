#pragma once

#include "core/deployment_settings.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace upd::server {

// The coded form of an archive password for an update entry's "pw" element: the inverse of the
// client's DecodeArchivePassword with the same three constants. `variant` chooses the piece
// length and the two key positions, so that equal passwords of different updates look different;
// the same variant always gives the same text. Nothing when the key cannot be built.
std::optional<QString> EncodeArchivePassword(const DeploymentSettings& deployment,
                                             std::int16_t password, std::uint32_t variant);

// A stable variant for an update, derived from texts that identify it.
std::uint32_t passwordVariant(std::string_view product, std::string_view version);

} // namespace upd::server
