#include "platform/sound.h"

#include <mmsystem.h>
#include <windows.h>

namespace upd {

void playSoundFile(const QString& path) {
    if (path.isEmpty())
        return;
    // Without SND_NODEFAULT a missing file would sound the system's default instead.
    PlaySoundW(reinterpret_cast<LPCWSTR>(path.utf16()), nullptr,
               SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

} // namespace upd
