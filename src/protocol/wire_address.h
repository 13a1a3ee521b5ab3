#pragma once

#include <QByteArray>
#include <QString>

// How the program's address texts travel on the wire, agreed between the transfer control and
// the update server:
// - The "#" that the queries append at the very end starts an empty fragment and is dropped. A
//   blank before it is data (the last value may end with one) and is sent like any other.
// - Every other character that a URL cannot carry as it is (blanks, "#" from an encoded "ß", "%",
//   brackets, non-ASCII letters, ...) is sent percent-encoded as its Windows-1252 byte.
// - "&", "=", "?", "/" and ":" stay as they are: they give the address its structure.
// The server percent-decodes each query value and reads the bytes as Windows-1252.
namespace upd::wire_address {

QByteArray encode(const QString& address);

// A parameter string sent as the body of a form POST: the same encoding, but a body has no
// fragment, so a "#" at its end (an encoded "ß") is data and stays.
QByteArray encodeParameters(const QString& parameters);

} // namespace upd::wire_address
