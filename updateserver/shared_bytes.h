#pragma once

#include <memory>
#include <string>

namespace upd::server {

// Bytes built once (at catalog load) and shared by every answer that carries them.
using SharedBytes = std::shared_ptr<const std::string>;

} // namespace upd::server
