#pragma once

#include "core/event_loop.h"
#include "core/session.h"
#include "ui/label_button.h"

#include <QPointer>
#include <QWidget>
#include <chrono>

class QLabel;
class QTextBrowser;

namespace upd {

class frmWait;

// The update server's page about the available data updates. A new window for every use: Init
// fetches the page while a wait window shows; on success the caller shows the window, which
// "&Weiter" closes and releases.
class frmUpdateInfo final : public QWidget {
    Q_OBJECT
public:
    // How long Init waits for the page.
    static constexpr std::chrono::milliseconds DefaultTimeout = std::chrono::seconds(30);
    // A larger page is refused before it has all arrived; the view takes at most a mebicharacter
    // (html_view_bounds.h), which UTF-8 may spell in four times as many bytes.
    static constexpr qsizetype PageLimit = qsizetype{4} * 1024 * 1024;

    frmUpdateInfo(Session& session, EventLoop& loop, QWidget* parent = nullptr);
    ~frmUpdateInfo() override;

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // The window this one and its wait window open over (the main window).
    void setPlacedOver(const QWidget* over) { over_ = over; }

    // Fetches the page for the caller (the main window's caption) and the host version into
    // MyBrowser. False when the page cannot be shown: the server failed or answered with an
    // error, the page is beyond what the view can lay out, the user closed the wait window, the
    // time ran out, or the program is ending.
    bool Init(const QString& callerName, const QString& version);

    QTextBrowser* MyBrowser = nullptr;
    LabelButton* lblClose = nullptr;
    QLabel* lblEnd = nullptr;

private:
    enum class Interruption { None, ProgramEnding, WaitWindowClosed, TimedOut };

    bool fetchPage(const QString& version);
    void openWaitWindow();
    void unloadWaitWindow();
    void openLink(const QUrl& link);

    Session& session_;
    EventLoop& loop_;
    std::chrono::milliseconds timeout_ = DefaultTimeout;
    QPointer<frmWait> wait_;
    QPointer<const QWidget> over_;
};

// The main window's "Info": a new update-information window for the caller and version, shown
// over `over` without blocking (and released when closed) when its page came; false when it
// could not be shown, and the window is gone again.
bool showUpdateInformation(Session& session, EventLoop& loop, const QString& callerName,
                           const QString& version, const QWidget* over = nullptr);

} // namespace upd
