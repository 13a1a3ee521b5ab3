#pragma once

#include <QByteArray>
#include <QString>

// Code page 850, the console code page of German and Western European Windows: the command
// interpreter reads a batch file's paths in it.
namespace upd::code_page_850 {

// Characters the code page cannot hold become "?", as the platform's own conversion does.
QByteArray encode(const QString& text);

} // namespace upd::code_page_850
