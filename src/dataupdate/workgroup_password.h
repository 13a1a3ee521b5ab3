#pragma once

#include <QString>

namespace upd::dataupdate {

// The password of the workgroup user "quorlanDesigner". The program never holds it whole: the
// deployment setting gives its four character codes ("113,76,55,100"), and the program's own
// letter string is passed through ConvChars with them, the way the hosts form it.
// RuntimeError 5 when the setting is not four character codes.
QString workgroupPassword(const QString& characterCodes);

} // namespace upd::dataupdate
