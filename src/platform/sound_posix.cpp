#include "platform/sound.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace upd {
namespace {

struct Player {
    const char* program;
    QStringList options;
};

} // namespace

// The desktop's sound servers first, the bare ALSA player last; the player runs on its own.
void playSoundFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const Player players[] = {
        {"paplay", {}},
        {"pw-play", {}},
        {"aplay", {QStringLiteral("-q")}},
    };
    for (const Player& player : players) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(player.program));
        if (!program.isEmpty()) {
            QProcess::startDetached(program, player.options + QStringList{path});
            return;
        }
    }
}

} // namespace upd
