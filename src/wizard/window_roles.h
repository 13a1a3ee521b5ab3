#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <memory>

namespace upd {

// The small roles of the main window through which the wizard's procedures write: each procedure
// takes only those it uses. The main window implements them with real widgets; tests fake them.

// Status-text colours of the message areas.
inline const QColor WorkingColor = QColor(0, 0, 255);
inline const QColor AttentionColor = QColor(255, 0, 0);

// A multi-line text box: a message area, a list or a log.
class TextArea {
public:
    virtual ~TextArea() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void setTextColor(const QColor& color) = 0;
    // Repaints at once, so that a text shown before a blocking step is visible.
    virtual void refresh() = 0;

    // Appends a line with CR LF; the first line has no CR LF before it. Boxes that can append
    // without setting their whole text again do so: a long list must cost its length, not more.
    virtual void appendLine(const QString& line) {
        const QString current = text();
        setText(current.isEmpty() ? line : current + QStringLiteral("\r\n") + line);
    }
    void show(const QString& message, const QColor& color) {
        setTextColor(color);
        setText(message);
        refresh();
    }
};

// A label used as a button ("lblStart", "lblEnd").
class Button {
public:
    virtual ~Button() = default;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;
};

// The three-tab control "SSTab1": 0 search, 1 download, 2 installation.
class TabControl {
public:
    virtual ~TabControl() = default;
    virtual int currentTab() const = 0;
    virtual void setCurrentTab(int index) = 0;
};

// The message areas "txtHinweis", one per tab.
class MessageAreas {
public:
    virtual ~MessageAreas() = default;
    virtual TextArea& messageArea(int tabIndex) = 0;
    // The message area of the tab that is visible now.
    virtual TextArea& visibleMessageArea() = 0;
};

// The controls that start a step and move between the tabs.
class StepControls {
public:
    virtual ~StepControls() = default;
    virtual Button& startButton() = 0; // lblStart
    virtual TabControl& tabs() = 0;
    // lblInfo and its artwork: shown when data updates were found.
    virtual void setInfoButtonVisible(bool visible) = 0;
    // Runs the click of lblInfo, as the search does once when the window is visible.
    virtual void clickInfoButton() = 0;
    // Runs the click of lblEnd, as a finished installation does.
    virtual void clickEndButton() = 0;
    virtual bool isWindowVisible() const = 0;
    // The offline directory's label, box and buttons.
    virtual void ShowOfflineControls(bool visible) = 0;
    // Unloads the main window, which ends the program.
    virtual void unloadWindow() = 0;
};

// The wizard's state. Every move refreshes the window for the new state.
class WizardStateMover {
public:
    virtual ~WizardStateMover() = default;
    virtual std::int32_t wizardState() const = 0;
    virtual void moveWizardTo(std::int32_t state) = 0;
};

// The text boxes that hold the run's values, lists and logs.
class WizardTextBoxes {
public:
    virtual ~WizardTextBoxes() = default;
    virtual TextArea& programVersion() = 0;   // txtProgVersion
    virtual TextArea& internetVersion() = 0;  // txtProgExeInternet
    virtual TextArea& downloadList() = 0;     // txtDownload
    virtual TextArea& installationLog() = 0;  // txtInstallation
    virtual TextArea& offlineDirectory() = 0; // txtOfflineUpdates
};

// The download tab's bar as the data download drives it: the width of its track, the bar's width
// and caption, and the transfer figures (amount, speed, remaining time) beside it.
class DownloadBar {
public:
    virtual ~DownloadBar() = default;
    virtual float trackTwips() const = 0;
    virtual void setBarWidth(float widthTwips) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setTransferFiguresVisible(bool visible) = 0;
};

// The wait window "frmWait" of a slow step. While it exists the mouse pointer is the hourglass;
// destroying it unloads the window and resets the pointer.
class WaitNotice {
public:
    virtual ~WaitNotice() = default;
    // Line 0 or 1 of "lblMeldung".
    virtual void setLine(int index, const QString& text) = 0;
    // Shows the window without blocking.
    virtual void show() = 0;
};

// The windows a step opens beside the main window.
class StepDialogs {
public:
    virtual ~StepDialogs() = default;
    // A new wait window, prepared but not shown; the pointer turns to the hourglass.
    virtual std::unique_ptr<WaitNotice> openWaitNotice() = 0;
    // Shows the terms of use in "frmLizenz", modal over the main window; true when the user
    // accepted them.
    virtual bool acceptTermsOfUse(const QString& terms) = 0;
};

} // namespace upd
