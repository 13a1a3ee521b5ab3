// The sound file goes to the desktop's player, here a stand-in that notes what it was given.

#include "platform/sound.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(Sound, AnExistingFileGoesToThePlayerAndNoOtherCallStartsIt) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("played"));
    QFile player(dir.filePath(QStringLiteral("paplay")));
    ASSERT_TRUE(player.open(QIODevice::WriteOnly));
    player.write("#!/bin/sh\necho \"$@\" >> '" + record.toLocal8Bit() + "'\n");
    player.close();
    player.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString sound = dir.filePath(QStringLiteral("hinweis.wav"));
    QFile(sound).open(QIODevice::WriteOnly);

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    playSoundFile(dir.filePath(QStringLiteral("fehlt.wav")));
    playSoundFile(QString());
    playSoundFile(sound);
    qputenv("PATH", path);

    QDeadlineTimer deadline(5000);
    while (!QFile::exists(record) && !deadline.hasExpired())
        QThread::msleep(10);
    QThread::msleep(200); // a wrongly started player would have written by now too
    QFile played(record);
    ASSERT_TRUE(played.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(played.readAll()), sound + u'\n');
}

} // namespace
} // namespace upd
