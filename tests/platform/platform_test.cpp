#include "platform/command_line.h"
#include "platform/previous_instance.h"
#include "platform/settings_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace upd {
namespace {

TEST(SettingsStore, ValuesSurviveANewStoreAndDeleteOneKey) {
    {
        NativeSettingsStore store;
        store.write(QStringLiteral("quorlan GR"), QStringLiteral("UpdateSetup"),
                    QStringLiteral("Working"), QStringLiteral("1"));
        store.write(QStringLiteral("quorlan GR"), QStringLiteral("UpdateSetup"),
                    QStringLiteral("Other"), QStringLiteral("Größe # = x"));
    }
    NativeSettingsStore store;
    const QString file = NativeSettingsStore::location(QStringLiteral("quorlan GR"));
    EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    store.remove(QStringLiteral("quorlan GR"), QStringLiteral("UpdateSetup"),
                 QStringLiteral("Working"));
    EXPECT_EQ(store.read(QStringLiteral("quorlan GR"), QStringLiteral("UpdateSetup"),
                         QStringLiteral("Working"), QStringLiteral("0")),
              QStringLiteral("0"));
    EXPECT_EQ(store.read(QStringLiteral("quorlan GR"), QStringLiteral("UpdateSetup"),
                         QStringLiteral("Other")),
              QStringLiteral("Größe # = x"))
        << "read back, and deleting one key leaves the others";
}

TEST(CommandLine, WordsAfterTheProgramNameAreJoinedWithBlanks) {
    EXPECT_EQ(commandLineText({QStringLiteral("/x/updater"), QStringLiteral("AppName=quorlan"),
                               QStringLiteral("GR#START=0")}),
              QStringLiteral("AppName=quorlan GR#START=0"));
    EXPECT_EQ(commandLineText({QStringLiteral("/x/updater")}), QString());
}

TEST(InstanceLock, EveryRunningInstanceSeesTheOthers) {
    auto first = std::make_unique<InstanceLock>();
    EXPECT_FALSE(first->anotherInstanceRunning());
    InstanceLock second;
    EXPECT_TRUE(second.anotherInstanceRunning());
    EXPECT_TRUE(first->anotherInstanceRunning()) << "an earlier instance sees a later one too";
    first.reset();
    EXPECT_FALSE(second.anotherInstanceRunning());
}

} // namespace
} // namespace upd
