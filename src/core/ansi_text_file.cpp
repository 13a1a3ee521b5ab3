#include "core/ansi_text_file.h"

#include "core/runtime_error.h"
#include "core/windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace upd::ansi_text_file {

QString read(const QString& path, qsizetype limit) {
    if (!QFileInfo(path).isFile())
        throw RuntimeError(errnum::FileNotFound);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(errnum::PathFileAccessError);
    return windows1252::decode(file.read(limit));
}

void write(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(errnum::PathFileAccessError);
    file.write(windows1252::encode(text));
    if (!file.commit())
        throw RuntimeError(errnum::PathFileAccessError);
}

} // namespace upd::ansi_text_file
