#pragma once

#include <QIcon>

namespace upd {

// What every window of the program shares: German standard buttons, the program's icon and scroll
// bars whose thumb is plain to see.
// Called once after the application object exists, before the first window opens.
void prepareProgramWindows();

// Loads Qt's own German translations, so that message boxes, input boxes and context menus
// say "Ja", "Nein", "Abbrechen". False when they are not installed; the buttons stay English.
bool installGermanTranslations();

// The program's icon in every size it is drawn in (window title bar, task bar, tray).
QIcon programIcon();

} // namespace upd
