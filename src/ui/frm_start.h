#pragma once

#include "transfer/transfer_meter.h"
#include "ui/label_button.h"
#include "ui/tab_control.h"
#include "ui/text_box_area.h"
#include "wizard/wizard_steps.h"

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QTabWidget;
class QTimer;

namespace upd {

// The main window: a wizard of three tabs whose Start/Next button always performs the next step.
// The window performs no transfer, query or installation itself; it calls the wizard's steps,
// shows their outcome and moves the wizard state on.
class frmStart final : public QWidget,
                       public WizardWindow,
                       private MessageAreas,
                       private StepControls,
                       private WizardStateMover,
                       private WizardTextBoxes,
                       private DownloadBar,
                       private TransferObserver,
                       private StepDialogs {
    Q_OBJECT
public:
    frmStart(Session& session, Prompts& prompts, EventLoop& loop, WizardSteps& steps,
             QWidget* parent = nullptr);
    ~frmStart() override;

    // The initialisation; false when the installed version is unknown and the program must end
    // (the message has been shown then). A second call does nothing.
    bool Form_Load();

    // Performs the click of the Start/Next button.
    void StartAskForUpdates();

    // WizardWindow
    Session& session() override { return session_; }
    Prompts& prompts() override { return prompts_; }
    EventLoop& eventLoop() override { return loop_; }
    WizardFlags& flags() override { return flags_; }
    XmlDocument& ResponseDocument() override { return responseDocument_; }
    MessageAreas& messages() override { return *this; }
    StepControls& controls() override { return *this; }
    WizardStateMover& state() override { return *this; }
    WizardTextBoxes& boxes() override { return *this; }
    DownloadBar& downloadBar() override { return *this; }
    TransferObserver& transferDisplay() override { return *this; }
    StepDialogs& dialogs() override { return *this; }

    std::int32_t wizardState() const override { return WizardState_; }
    // Moves the wizard and refreshes the window for the new state.
    void moveWizardTo(std::int32_t state) override;
    // Refreshes the window for the current state.
    void ShowWizardState();
    TextArea& messageArea(int tabIndex) override;
    TextArea& visibleMessageArea() override;
    TextArea& programVersion() override { return programVersion_; }

    // The progress display after every run of a transfer's 512-byte pieces. The widgets take the
    // newest values when the event loop next runs, which a transfer lets happen only once per
    // network block: painting more often would show nothing more and halve its speed.
    void ProgressBar(qint32 expected, qint32 received);
    // The speed timer's tick: speed and remaining time, or the delayed close.
    void tmrSpeedTest_Timer();
    // Speed and remaining time as a tick at `nowMs` shows them (milliseconds of a steady clock).
    void speedTick(std::int64_t nowMs);
    QString speedTimerTag() const { return tmrSpeedTestTag_; }
    // The bar's width in twips, as the progress display set it.
    float percentWidthTwips() const { return percentWidth_; }

    void ShowOfflineControls(bool visible) override;

    // The event handlers.
    void SSTab1_Click();
    void cmdOldVersion_Click();
    void cmdSearch_Click();
    void cmdInfo_Click();
    void lblInfo_Click();
    void lblEnd_Click();
    void showConfiguration();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window's controls; each carries the program's name for it as its object name.
    QTabWidget* SSTab1 = nullptr;
    std::array<QPlainTextEdit*, 3> txtHinweis{};
    std::array<QLabel*, 3> Label1{};
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtProgVersion = nullptr;
    // Several lines: the search lists every update found, then the data search's outcome.
    QPlainTextEdit* txtProgExeInternet = nullptr;
    QPushButton* cmdOldVersion = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPlainTextEdit* txtDownload = nullptr;
    QWidget* ImgLine = nullptr; // the bar's track
    QLabel* Percent = nullptr;
    QLabel* txtPercent = nullptr;
    std::array<QLabel*, 3> lblData{};
    QGroupBox* Frame3 = nullptr;
    QPlainTextEdit* txtInstallation = nullptr;
    QLabel* lblOfflineUpdates = nullptr;
    QLineEdit* txtOfflineUpdates = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdInfo = nullptr;
    LabelButton* lblStart = nullptr;
    LabelButton* lblEnd = nullptr;
    LabelButton* lblInfo = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCallerName = nullptr;
    QTimer* tmrSpeedTest = nullptr;

    void buildWindow();
    void nameControls();
    QWidget* buildSearchTab();
    QWidget* buildDownloadTab();
    QWidget* buildInstallationTab();
    QWidget* buildMessagePanel(int index);

    void runStep();
    void focusNextStep();

    // Marks a handler that lets the event loop run: while one runs, a close only asks it to finish
    // (CloseRequested), and the window goes afterwards. Nothing may run on a destroyed window.
    class HandlerScope {
    public:
        explicit HandlerScope(frmStart& window) : window_(window) { ++window_.runningHandlers_; }
        ~HandlerScope() { --window_.runningHandlers_; }
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        frmStart& window_;
    };
    // The controls that could disturb a running step follow lblStart's enabled state.
    void setStepControlsEnabled(bool enabled);

    // StepControls
    Button& startButton() override { return *lblStart; }
    TabControl& tabs() override { return tabControl_; }
    void setInfoButtonVisible(bool visible) override;
    void clickInfoButton() override { lblInfo_Click(); }
    void clickEndButton() override { lblEnd_Click(); }
    // StepDialogs
    std::unique_ptr<WaitNotice> openWaitNotice() override;
    bool acceptTermsOfUse(const QString& terms) override;
    bool isWindowVisible() const override { return isVisible(); }
    void unloadWindow() override { unloadFromCode(); }
    // WizardTextBoxes
    TextArea& internetVersion() override { return internetVersion_; }
    TextArea& downloadList() override { return downloadList_; }
    TextArea& installationLog() override { return installationLog_; }
    TextArea& offlineDirectory() override { return offlineDirectory_; }
    // DownloadBar
    float trackTwips() const override;
    void setBarWidth(float widthTwips) override;
    void setCaption(const QString& caption) override;
    void setTransferFiguresVisible(bool visible) override;
    // TransferObserver
    bool cancelRequested() const override { return flags_.CloseRequested; }
    void transferStarted() override;
    void sizeAnnounced(std::int32_t bytes) override;
    void dataArriving() override;
    void progress(std::int32_t expected, std::int32_t received) override {
        ProgressBar(expected, received);
    }
    void transferEnded() override;

    void setPercentWidth(float widthTwips);
    void placePercentText();
    void setSpeedTimerEnabled(bool enabled);
    void setLabelIfChanged(QLabel* label, const QString& text);
    void unloadFromCode();
    // "Beenden"'s questions about the closed host.
    void endQuestions();
    void Form_Unload();

    Session& session_;
    Prompts& prompts_;
    EventLoop& loop_;
    WizardSteps& steps_;

    WizardFlags flags_;
    std::int32_t WizardState_ = wizard::Search;
    XmlDocument responseDocument_;

    std::array<std::unique_ptr<PlainTextArea>, 3> hinweisAreas_;
    TabWidgetControl tabControl_{nullptr};
    LineTextArea programVersion_{nullptr};
    PlainTextArea internetVersion_{nullptr};
    PlainTextArea downloadList_{nullptr};
    PlainTextArea installationLog_{nullptr};
    LineTextArea offlineDirectory_{nullptr};

    QString tmrSpeedTestTag_ = QStringLiteral("0");
    void showProgressNow();

    qint32 currentCount_ = 0;
    TransferMeter meter_;
    QElapsedTimer clock_;
    float percentWidth_ = 0;
    // The progress waiting to be shown, and the zero timer that shows it at the next yield.
    qint32 shownExpected_ = 0;
    std::int16_t shownPercent_ = 0;
    QTimer* progressDisplay_ = nullptr;
    bool unloadingFromCode_ = false;
    int runningHandlers_ = 0;
    bool stepRunning_ = false;
    std::array<QShortcut*, 2> configurationChords_{};
};

} // namespace upd
