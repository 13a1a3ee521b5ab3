#pragma once

#include <QString>

namespace upd {

// Plays a sound file without waiting for it to end. An empty name plays nothing; a file that is
// missing or cannot be played is not reported.
void playSoundFile(const QString& path);

} // namespace upd
