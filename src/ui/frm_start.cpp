// The main window's controls and their layout.

#include "ui/frm_start.h"

#include "ui/header_art.h"
#include "ui/twips.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace upd {
namespace {

// The bar's full width at 100 %.
constexpr double BarTrackTwips = 5490;

QPlainTextEdit* makeTextBox(int heightTwips, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    // Tab passes over what the user only reads; a click still lets them select and copy.
    box->setFocusPolicy(Qt::ClickFocus);
    box->setMinimumHeight(twips(heightTwips));
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

QLineEdit* makeLineBox(QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setMinimumWidth(twips(1500));
    return box;
}

} // namespace

frmStart::frmStart(Session& session, Prompts& prompts, EventLoop& loop, WizardSteps& steps,
                   QWidget* parent)
    : QWidget(parent), session_(session), prompts_(prompts), loop_(loop), steps_(steps) {
    setObjectName(QStringLiteral("frmStart"));
    // Unloading the window releases it.
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();

    for (int i = 0; i < 3; ++i)
        hinweisAreas_[i] = std::make_unique<PlainTextArea>(txtHinweis[i]);
    tabControl_ = TabWidgetControl(SSTab1);
    programVersion_ = LineTextArea(txtProgVersion);
    internetVersion_ = PlainTextArea(txtProgExeInternet);
    downloadList_ = PlainTextArea(txtDownload);
    installationLog_ = PlainTextArea(txtInstallation);
    offlineDirectory_ = LineTextArea(txtOfflineUpdates);

    clock_.start();
    progressDisplay_ = new QTimer(this);
    progressDisplay_->setSingleShot(true);
    progressDisplay_->setInterval(0);
    connect(progressDisplay_, &QTimer::timeout, this, [this] { showProgressNow(); });
    tmrSpeedTest = new QTimer(this);
    tmrSpeedTest->setObjectName(QStringLiteral("tmrSpeedTest"));
    tmrSpeedTest->setInterval(1000);
    connect(tmrSpeedTest, &QTimer::timeout, this, &frmStart::tmrSpeedTest_Timer);
    tmrSpeedTest->start();

    connect(SSTab1, &QTabWidget::currentChanged, this, &frmStart::SSTab1_Click);
    connect(lblStart, &QAbstractButton::clicked, this, &frmStart::StartAskForUpdates);
    connect(lblEnd, &QAbstractButton::clicked, this, &frmStart::lblEnd_Click);
    connect(lblInfo, &QAbstractButton::clicked, this, &frmStart::lblInfo_Click);
    connect(cmdOldVersion, &QPushButton::clicked, this, &frmStart::cmdOldVersion_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmStart::cmdSearch_Click);
    connect(cmdInfo, &QPushButton::clicked, this, &frmStart::cmdInfo_Click);

    // The hidden configuration: Ctrl+Shift+K, with or without Alt, wherever the focus is.
    configurationChords_ = {
        new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), this),
        new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_K), this)};
    for (QShortcut* chord : configurationChords_) {
        chord->setContext(Qt::WindowShortcut);
        connect(chord, &QShortcut::activated, this, &frmStart::showConfiguration);
    }
    lblStart->installEventFilter(this);
}

frmStart::~frmStart() = default;

void frmStart::buildWindow() {
    auto* header = new HeaderArt(this);
    lblCallerName = new QLabel(header);
    QFont callerFont = lblCallerName->font();
    callerFont.setPointSizeF(callerFont.pointSizeF() * 1.5);
    callerFont.setBold(true);
    lblCallerName->setFont(callerFont);
    lblCallerName->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    // A long product name takes a second line rather than running into the arcs.
    lblCallerName->setWordWrap(true);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(twips(300), 0, header->artworkWidth() + twips(120), 0);
    headerLayout->addWidget(lblCallerName, 1);

    SSTab1 = new QTabWidget(this);
    SSTab1->setFont(QFont(QStringLiteral("Tahoma"), SSTab1->font().pointSize()));
    SSTab1->addTab(buildSearchTab(), QStringLiteral("Update-Abfrage"));
    SSTab1->addTab(buildDownloadTab(), QStringLiteral("Download"));
    SSTab1->addTab(buildInstallationTab(), QStringLiteral("Installation"));

    lblVersion = new QLabel(this);
    // Wraps rather than pushing the buttons out of the window when "Info" appears.
    lblVersion->setWordWrap(true);
    lblInfo = new LabelButton(QStringLiteral("Info"), this);
    // Shown once the search has found data updates.
    lblInfo->setVisible(false);
    lblStart = new LabelButton(QStringLiteral("Start"), this);
    lblStart->setDefault(true);
    lblEnd = new LabelButton(QStringLiteral("Beenden"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblVersion);
    buttons->addStretch();
    buttons->addWidget(lblInfo);
    buttons->addWidget(lblStart);
    buttons->addWidget(lblEnd);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(twips(180), twips(120), twips(180), twips(180));
    body->addWidget(SSTab1, 1);
    body->addSpacing(twips(120));
    body->addLayout(buttons);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(header);
    window->addLayout(body, 1);

    resize(twips(7200), twips(7000));
    nameControls();
}

void frmStart::nameControls() {
    // The program's names for its controls; a control array's elements are "name(i)".
    const auto name = [](QObject* control, const char* text) {
        control->setObjectName(QString::fromLatin1(text));
    };
    const auto nameArray = [](const auto& controls, const char* text) {
        for (std::size_t i = 0; i < controls.size(); ++i)
            controls[i]->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(text)).arg(i));
    };
    name(SSTab1, "SSTab1");
    nameArray(txtHinweis, "txtHinweis");
    nameArray(Label1, "Label1");
    nameArray(lblData, "lblData");
    name(Frame1, "Frame1");
    name(Frame2, "Frame2");
    name(Frame3, "Frame3");
    name(txtProgVersion, "txtProgVersion");
    name(txtProgExeInternet, "txtProgExeInternet");
    name(cmdOldVersion, "cmdOldVersion");
    name(txtDownload, "txtDownload");
    name(ImgLine, "ImgLine");
    name(Percent, "Percent");
    name(txtPercent, "txtPercent");
    name(txtInstallation, "txtInstallation");
    name(lblOfflineUpdates, "lblOfflineUpdates");
    name(txtOfflineUpdates, "txtOfflineUpdates");
    name(cmdSearch, "cmdSearch");
    name(cmdInfo, "cmdInfo");
    name(lblStart, "lblStart");
    name(lblEnd, "lblEnd");
    name(lblInfo, "lblInfo");
    name(lblVersion, "lblVersion");
    name(lblCallerName, "lblCallerName");
}

QWidget* frmStart::buildMessagePanel(int index) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(twips(45));
    Label1[index] = new QLabel(QStringLiteral("Aktuelle Meldungen"), panel);
    txtHinweis[index] = makeTextBox(1200, panel);
    layout->addWidget(Label1[index]);
    layout->addWidget(txtHinweis[index], 1);
    return panel;
}

QWidget* frmStart::buildSearchTab() {
    auto* page = new QWidget;
    Frame1 = new QGroupBox(QStringLiteral("Versionen"), page);
    txtProgVersion = makeLineBox(Frame1);
    txtProgExeInternet = makeTextBox(900, Frame1);
    txtProgExeInternet->setMaximumHeight(twips(900));
    txtProgExeInternet->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdOldVersion = new QPushButton(QStringLiteral("Version"), Frame1);
    // Enter on a focused button clicks that button, not the window's default.
    cmdOldVersion->setAutoDefault(true);

    auto* grid = new QGridLayout(Frame1);
    grid->setColumnStretch(1, 1);
    grid->addWidget(new QLabel(QStringLiteral("auf Ihrem PC"), Frame1), 0, 0);
    grid->addWidget(txtProgVersion, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("im Internet verfügbar:"), Frame1), 1, 0,
                    Qt::AlignTop);
    grid->addWidget(txtProgExeInternet, 1, 1, 1, 2);
    auto* otherVersion =
        new QLabel(QStringLiteral("Klicken Sie hier, um eine andere Version einzugeben:"), Frame1);
    otherVersion->setWordWrap(true);
    grid->addWidget(otherVersion, 2, 0, 1, 2);
    grid->addWidget(cmdOldVersion, 2, 2);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame1);
    layout->addWidget(buildMessagePanel(tab::Search), 1);
    return page;
}

QWidget* frmStart::buildDownloadTab() {
    auto* page = new QWidget;
    Frame2 = new QGroupBox(QStringLiteral("Datei-Download"), page);
    txtDownload = makeTextBox(600, Frame2);

    // The bar: `Percent` grows over its track; `txtPercent` shows the percentage at the bar's end.
    ImgLine = new QFrame(Frame2);
    static_cast<QFrame*>(ImgLine)->setFrameShape(QFrame::StyledPanel);
    ImgLine->setFixedSize(twips(BarTrackTwips) + 2, twips(300));
    ImgLine->setStyleSheet(QStringLiteral("QFrame { background: white; }"));
    Percent = new QLabel(ImgLine);
    Percent->setStyleSheet(QStringLiteral("background: rgb(30, 70, 140); color: transparent;"));
    Percent->setGeometry(1, 1, 0, twips(300) - 2);
    txtPercent = new QLabel(ImgLine);
    txtPercent->setAlignment(Qt::AlignCenter);
    txtPercent->setStyleSheet(QStringLiteral("background: transparent;"));

    lblData[0] = new QLabel(QStringLiteral("übertragen: 0 Kb"), Frame2);
    lblData[1] = new QLabel(QStringLiteral("Geschwindigkeit: unbekannt"), Frame2);
    lblData[2] = new QLabel(QStringLiteral("geschätzte Restzeit: unbekannt"), Frame2);

    auto* layout = new QVBoxLayout(Frame2);
    layout->addWidget(txtDownload);
    layout->addWidget(ImgLine, 0, Qt::AlignHCenter);
    for (QLabel* label : lblData)
        layout->addWidget(label);

    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(Frame2);
    pageLayout->addWidget(buildMessagePanel(tab::Download), 1);
    return page;
}

QWidget* frmStart::buildInstallationTab() {
    auto* page = new QWidget;
    Frame3 = new QGroupBox(QStringLiteral("Update-Installation"), page);
    txtInstallation = makeTextBox(900, Frame3);
    auto* frameLayout = new QVBoxLayout(Frame3);
    frameLayout->addWidget(txtInstallation);

    lblOfflineUpdates = new QLabel(QStringLiteral("Verzeichnis der Updates:"), page);
    txtOfflineUpdates = makeLineBox(page);
    cmdSearch = new QPushButton(QStringLiteral("..."), page);
    cmdSearch->setFixedWidth(twips(450));
    cmdInfo = new QPushButton(QStringLiteral("Info"), page);
    cmdSearch->setAutoDefault(true);
    cmdInfo->setAutoDefault(true);
    auto* offline = new QHBoxLayout;
    offline->addWidget(lblOfflineUpdates);
    offline->addWidget(txtOfflineUpdates, 1);
    offline->addWidget(cmdSearch);
    offline->addWidget(cmdInfo);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Frame3);
    layout->addLayout(offline);
    layout->addWidget(buildMessagePanel(tab::Installation), 1);
    ShowOfflineControls(false);
    return page;
}

} // namespace upd
