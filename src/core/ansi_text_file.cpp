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

QString readWhole(const QString& path) {
    // One byte of the code page is one character: a text longer than the limit came from a longer
    // file.
    QString text = read(path, MaxReadBytes + 1);
    if (text.size() > MaxReadBytes)
        throw RuntimeError(errnum::Overflow);
    return text;
}

namespace {

void put(QSaveFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size())
        throw RuntimeError(errnum::PathFileAccessError);
}

// QSaveFile (Qt 6.4) commits even when flushing its buffer failed, on a full disk for instance,
// and would then replace the old file by a truncated one: the flush is checked first.
void commit(QSaveFile& file) {
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        throw RuntimeError(errnum::PathFileAccessError);
    }
    if (!file.commit())
        throw RuntimeError(errnum::PathFileAccessError);
}

} // namespace

void write(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(errnum::PathFileAccessError);
    put(file, windows1252::encode(text));
    commit(file);
}

void append(const QString& path, const QString& text) {
    QSaveFile replacement(path);
    if (!replacement.open(QIODevice::WriteOnly))
        throw RuntimeError(errnum::PathFileAccessError);
    // The old content is copied piece by piece: such a file may grow with every run.
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            throw RuntimeError(errnum::PathFileAccessError);
        for (;;) {
            const QByteArray piece = old.read(64 * 1024);
            if (piece.isEmpty()) {
                if (old.error() != QFileDevice::NoError)
                    throw RuntimeError(errnum::PathFileAccessError);
                break;
            }
            put(replacement, piece);
        }
    }
    put(replacement, windows1252::encode(text));
    commit(replacement);
}

} // namespace upd::ansi_text_file
