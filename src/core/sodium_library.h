#pragma once

namespace upd {

// libsodium must be initialised once before its first use; every caller asks here first.
void ensureSodium();

} // namespace upd
