#pragma once

#include <QString>

namespace upd::dataupdate {

// Position-wise substitution: every character of `text` that occurs in `sourceAlphabet` (first
// occurrence, case-sensitive) becomes the character at that position of `targetAlphabet`, or
// nothing when the target alphabet is shorter; every other character stays.
QString ConvChars(const QString& sourceAlphabet, const QString& text,
                  const QString& targetAlphabet);

// Replaces the typographic dashes, quotation marks and the ellipsis by HTML entities or ASCII,
// and the list bullet "type=disc" by "type=circle", before a text goes into a text table.
QString ConvToHtml(QString text);

} // namespace upd::dataupdate
