#pragma once

#include "core/session.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "ui/fake_wizard_steps.h"
#include "ui/frm_start.h"

#include <QApplication>
#include <QPointer>
#include <gtest/gtest.h>

namespace upd::test {

// Runs the events that are due, deferred deletions included.
void settle();

// Runs events until `done` holds or `milliseconds` have passed; returns `done()`.
bool waitFor(const std::function<bool()>& done, int milliseconds = 3000);

// The names of the top-level windows still alive.
QStringList topLevelWindows();

// A main window on a session of its own, with scripted prompts and fake steps. Every test ends
// with no window left over.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window for the run mode and runs its initialisation.
    frmStart& open(std::int16_t runMode);

    Session session;
    ScriptedPrompts prompts;
    QtEventLoop loop;
    FakeWizardSteps steps;
    QPointer<frmStart> window;
    bool loaded = false;
};

} // namespace upd::test
