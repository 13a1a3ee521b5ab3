#include "platform/previous_instance.h"
#include "platform/settings_store.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace upd {
namespace {

TEST(SettingsStore, ValuesSurviveANewStoreAndDeleteOneKey) {
    const QString app = QStringLiteral("quorlan GR"), section = QStringLiteral("UpdateSetup");
    {
        NativeSettingsStore store;
        store.write(app, section, QStringLiteral("Working"), QStringLiteral("1"));
        store.write(app, section, QStringLiteral("Other"), QStringLiteral("Größe # = x"));
    }
    NativeSettingsStore store;
    EXPECT_TRUE(QFile::exists(NativeSettingsStore::location(app)));
    store.remove(app, section, QStringLiteral("Working"));
    EXPECT_EQ(store.read(app, section, QStringLiteral("Working"), QStringLiteral("0")),
              QStringLiteral("0"));
    EXPECT_EQ(store.read(app, section, QStringLiteral("Other")), QStringLiteral("Größe # = x"));
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
