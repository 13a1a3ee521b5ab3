#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte code page of the program's text files on every platform.
namespace upd::windows1252 {

QString decode(const QByteArray& bytes);

// The same characters as UTF-8, straight from the bytes: for text that goes on as UTF-8 (the
// XML parser's input) without the detour through a QString twice its size.
QByteArray toUtf8(QByteArrayView bytes);

// Characters the code page cannot hold become "?", as the platform's own conversion does.
QByteArray encode(const QString& text);

} // namespace upd::windows1252
