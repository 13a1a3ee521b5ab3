#pragma once

// Files for the transfer and package tests: contents to send, targets to fill, results to read.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace upd::test {

// Bytes that no compressor shrinks and no off-by-one hides.
inline QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(4711);
    for (char& c : bytes)
        c = char(generator.generate());
    return bytes;
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Writes the file, creating its directory.
inline void writeFile(const QString& path, const QByteArray& content) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
}

// The keys are paths relative to `directory`.
inline void writeTree(const QString& directory, const QMap<QString, QByteArray>& files) {
    for (auto it = files.begin(); it != files.end(); ++it)
        writeFile(directory + u'/' + it.key(), it.value());
}

} // namespace upd::test
