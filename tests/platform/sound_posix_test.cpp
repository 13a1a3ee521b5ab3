// The sound file goes to the desktop's player, here a stand-in that notes what it was given.

#include "platform/sound.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(Sound, AnExistingFileGoesToThePlayerAndNoOtherCallStartsIt) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("played"));
    test::writeFile(dir.filePath("paplay"),
                    "#!/bin/sh\necho \"$@\" >> '" + record.toLocal8Bit() + "'\n", true);
    const QString sound = dir.filePath(QStringLiteral("hinweis.wav"));
    test::writeFile(sound);

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    playSoundFile(dir.filePath(QStringLiteral("fehlt.wav")));
    playSoundFile(QString());
    playSoundFile(sound);
    qputenv("PATH", path);

    for (int i = 0; i < 500 && !QFile::exists(record); ++i)
        QThread::msleep(10);
    QThread::msleep(200); // a wrongly started player would have written by now too
    EXPECT_EQ(test::readFile(record), QFile::encodeName(sound) + '\n');
}

} // namespace
} // namespace upd
