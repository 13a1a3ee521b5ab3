#pragma once

#include <QColor>
#include <QString>

namespace upd {

// How procedures reach the main window's controls without knowing the widgets. The main window
// implements these interfaces with real widgets; tests fake them.

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

    // Appends a line with CR LF; the first line has no CR LF before it.
    void appendLine(const QString& line) {
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

} // namespace upd

namespace upd {

// What a single-file transfer needs of the main window: its flags, the speed timer and the
// progress display. The main window implements it; transfer tests fake it.
class TransferWindow {
public:
    virtual ~TransferWindow() = default;

    // The user is closing the window: transfers cancel at their next chunk.
    virtual bool closeRequested() const = 0;
    // True from the start of a single-file transfer until it returns.
    virtual void setTransferRunning(bool running) = 0;
    // The size the server announced for the running transfer (the speed timer's tag).
    virtual void setAnnouncedSize(qint32 bytes) = 0;
    virtual void setSpeedTimerEnabled(bool enabled) = 0;
    // The progress display after every chunk: bar, percentage and amount.
    virtual void showProgress(qint32 expected, qint32 received) = 0;
    // The message area of the tab that is visible now.
    virtual TextArea& visibleMessageArea() = 0;
};

} // namespace upd
