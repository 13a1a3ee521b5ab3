#pragma once

#include "core/prompts.h"

#include <QString>

namespace upd {

// Tells the user that a file cannot be deleted (the deletions themselves report, never ask).
void reportUndeletableFile(Prompts& prompts, const QString& path);

} // namespace upd
