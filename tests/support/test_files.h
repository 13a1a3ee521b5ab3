#pragma once

// Files the tests write and read back.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace upd::test {

// The whole file, or "<missing>".
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes `content` to `path`, creating its directory; `executable` adds the owner's execute bit.
inline void writeFile(const QString& path, const QByteArray& content = "x",
                      bool executable = false) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// The keys are paths relative to `directory`.
inline void writeTree(const QString& directory, const QMap<QString, QByteArray>& files) {
    for (auto it = files.begin(); it != files.end(); ++it)
        writeFile(directory + u'/' + it.key(), it.value());
}

// Bytes that no compressor shrinks and no off-by-one hides.
inline QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(4711);
    for (char& c : bytes)
        c = char(generator.generate());
    return bytes;
}

} // namespace upd::test
