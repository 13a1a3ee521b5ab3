#include "ui/frm_notify.h"

#include "platform/sound.h"
#include "ui/notify_icon.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace upd {
namespace {

constexpr double WidthTwips = 3495;
// The message's place before the first message, and its distance from a picture.
constexpr double LabelMarginTwips = 120;
constexpr int IconPixels = 32;
const QColor HighlightColor(0, 0, 255);

// A bitmap loses the pixels of the transparent colour; an icon is drawn as it is.
QPixmap preparedPicture(const NotifyMessage& message) {
    if (const auto* bitmap = std::get_if<QImage>(&message.Picture)) {
        QPixmap pixmap = QPixmap::fromImage(*bitmap);
        pixmap.setMask(pixmap.createMaskFromColor(message.TransparentColor, Qt::MaskInColor));
        return pixmap;
    }
    if (const auto* icon = std::get_if<QIcon>(&message.Picture))
        return icon->pixmap(IconPixels);
    return {};
}

} // namespace

frmNotify::frmNotify(bool trayAvailable)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      trayAvailable_(trayAvailable), twips_(ScreenTwips::of(nullptr)),
      phases_(twips_.twipsPerPixelX) {
    setObjectName(QStringLiteral("frmNotify"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("<#>"));
    setWindowIcon(notifyIcon());
    // Without a frame the window is as high as it rolls out, so that in the bottom corner the
    // whole pop-up stands inside the work area.
    resize(twips_.logicalX(WidthTwips), twips_.logicalY(PopupPhases::RolledOutTwips));

    lblMsg = new QLabel(QStringLiteral("<#>"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setTextFormat(Qt::PlainText);
    lblMsg->setWordWrap(false);
    lblMsg->setAlignment(Qt::AlignCenter);
    // Clicks and the highlight belong to the window, over the message as beside it.
    lblMsg->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblMsg->move(twips_.logicalX(LabelMarginTwips), twips_.logicalY(LabelMarginTwips));
    setHighlighted(false);
    lblMsg->adjustSize();

    mnuMain = new QMenu(QStringLiteral("Main"), this);
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    mnuAction = mnuMain->addAction(QStringLiteral("Action"));
    mnuAction->setObjectName(QStringLiteral("mnuAction"));
    mnuClose = mnuMain->addAction(QStringLiteral("Beenden"));
    mnuClose->setObjectName(QStringLiteral("mnuClose"));
    mnuAction->setVisible(false);
    mnuClose->setVisible(false);
    connect(mnuAction, &QAction::triggered, this, &frmNotify::RunPopupAction);
    connect(mnuClose, &QAction::triggered, this, &frmNotify::EndFromPopup);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &frmNotify::Timer1_Timer);

    trayIcon = new QSystemTrayIcon(windowIcon(), this);
    trayIcon->setObjectName(QStringLiteral("trayIcon"));
    trayIcon->setContextMenu(mnuMain);
    connect(trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    RunPopupAction();
            });
}

frmNotify::~frmNotify() = default;

void frmNotify::ShowMessage(const NotifyMessage& message) {
    HasAction_ = message.HasAction;
    if (HasAction_) {
        mnuAction->setVisible(true);
        mnuClose->setVisible(true);
        mnuAction->setText(message.ActionCaption);
    }
    if (message.TargetForm)
        TargetForm_ = message.TargetForm;
    if (isVisible())
        return;

    shown_ = message;
    picture_ = preparedPicture(message);
    lblMsg->setText(QString(message.Message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setWindowTitle(message.Title);
    placeMessage();
    update();
    playSoundFile(message.SoundFile);

    placeWindow(message.Position);
    phases_.start(message.StepInterval, message.DisplayTime, message.CloseDelay);
    applyHeight();
    show();
    Timer1->start(phases_.interval());
}

void frmNotify::placeMessage() {
    const int margin = twips_.logicalX(shown_.PosLeft);
    int left = margin;
    if (!picture_.isNull())
        left +=
            picture_.deviceIndependentSize().toSize().width() + twips_.logicalX(LabelMarginTwips);
    lblMsg->adjustSize();
    lblMsg->move(left, twips_.logicalY(shown_.PosTop));
    // Fonts differ from screen to screen: the window widens rather than cut the message off.
    resize(std::max(twips_.logicalX(WidthTwips), left + lblMsg->width() + margin), height());
}

void frmNotify::placeWindow(std::int16_t position) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    if (position == notify_position::TopLeft)
        move(area.left(), area.top());
    else if (position == notify_position::BottomRight)
        move(area.x() + area.width() - width(),
             area.y() + area.height() - twips_.logicalY(PopupPhases::RolledOutTwips));
}

void frmNotify::applyHeight() {
    resize(width(), twips_.logicalY(phases_.heightTwips()));
}

void frmNotify::Timer1_Timer() {
    if (!phases_.tick()) {
        applyHeight();
        Timer1->setInterval(phases_.interval());
        return;
    }
    if (!HasAction_) {
        phases_.collapse();
        applyHeight();
        unload();
        return;
    }
    // A tray icon added again changes nothing: the timer's work is done.
    Timer1->stop();
    if (trayAvailable_)
        endAsTrayIcon();
    // Without a notification area the pop-up stays until it is clicked or closed.
}

void frmNotify::endAsTrayIcon() {
    trayIcon->setToolTip(windowTitle());
    trayIcon->show();
    hide();
}

void frmNotify::RunPopupAction() {
    Timer1->stop();
    trayIcon->hide();
    if (TargetForm_)
        TargetForm_();
    unload();
}

void frmNotify::EndFromPopup() {
    unload();
    QCoreApplication::quit();
}

void frmNotify::unload() {
    Timer1->stop();
    trayIcon->hide();
    hide();
    deleteLater();
}

void frmNotify::setHighlighted(bool highlighted) {
    QPalette palette = lblMsg->palette();
    palette.setColor(QPalette::WindowText,
                     highlighted ? HighlightColor : this->palette().color(QPalette::ButtonText));
    lblMsg->setPalette(palette);
    QFont font = lblMsg->font();
    font.setUnderline(highlighted);
    lblMsg->setFont(font);
}

void frmNotify::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The gradient spans the rolled-out window; rolling out uncovers it from the top.
    QLinearGradient gradient(0, 0, 0, twips_.logicalY(PopupPhases::RolledOutTwips));
    gradient.setColorAt(0, shown_.ColorTop);
    gradient.setColorAt(1, shown_.ColorBottom);
    painter.fillRect(rect(), gradient);
    // A thin frame keeps the white lower edge apart from a light desktop.
    painter.setPen(shown_.ColorTop);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!picture_.isNull())
        painter.drawPixmap(twips_.logicalX(shown_.PosLeft), twips_.logicalY(shown_.PosTop),
                           picture_);
}

void frmNotify::enterEvent(QEnterEvent*) {
    setHighlighted(true);
}

void frmNotify::leaveEvent(QEvent*) {
    setHighlighted(false);
}

void frmNotify::mouseReleaseEvent(QMouseEvent*) {
    RunPopupAction();
}

void frmNotify::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        unload();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmNotify::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    trayIcon->hide();
    QWidget::closeEvent(event);
    deleteLater();
}

} // namespace upd
