#pragma once

#include "core/runtime_error.h"

#include <QString>

namespace upd::dataupdate {

inline const QString FaultyRecord = QStringLiteral("Datensatz fehlerhaft.");

// A table procedure's error trap: errText starts empty; a run-time error ends the body and
// becomes "modDataUpdate: " & `place` & its description. True when errText stayed empty.
template <class Body> bool runWithErrorTrap(QString& errText, const QString& place, Body&& body) {
    errText.clear();
    try {
        body();
    } catch (const RuntimeError& error) {
        errText = QStringLiteral("modDataUpdate: ") + place + error.description();
    }
    return errText.isEmpty();
}

} // namespace upd::dataupdate
