#pragma once

namespace bench {

// A port of 127.0.0.1 that was free a moment ago.
int freePort();

} // namespace bench
