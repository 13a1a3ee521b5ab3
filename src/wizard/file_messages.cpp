#include "wizard/file_messages.h"

namespace upd {

void reportUndeletableFile(Prompts& prompts, const QString& path) {
    prompts.critical(QStringLiteral(" Datei: ") + path +
                         QStringLiteral(" kann nicht gelöscht werden!"),
                     ProgramTitle + QStringLiteral(": KillFile Funktion"));
}

} // namespace upd
