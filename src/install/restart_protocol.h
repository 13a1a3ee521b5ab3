#pragma once

#include <QString>
#include <optional>

namespace upd {

// The restart after a self-replacement: the updater parks the host's parameter string in the
// settings store and the new updater, started with RestartArguments alone, takes it back.
inline const QString ConfigApplication = QStringLiteral("quorlan-Internet-Update");
inline const QString ConfigSection = QStringLiteral("CONFIG");
inline const QString ParkedArgumentsKey = QStringLiteral("ARGS");
inline const QString RestartArguments = QStringLiteral("START=7");

// The host's parameter string as it is parked: the value of its START item becomes 0, every other
// item stays as it is, so that the restarted updater runs an ordinary online update. nullopt when
// there is no START item or no "#" after it.
std::optional<QString> parkedArguments(const QString& hostArguments);

} // namespace upd
