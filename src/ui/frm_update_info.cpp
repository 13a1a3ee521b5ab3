#include "ui/frm_update_info.h"

#include "core/runtime_error.h"
#include "protocol/request_parameters.h"
#include "protocol/wire_address.h"
#include "transfer/form_post.h"
#include "ui/frm_wait.h"
#include "ui/html_view_bounds.h"
#include "ui/twips.h"
#include "ui/window_placement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <exception>

namespace upd {
namespace {

const QString WaitWindowOpen = QStringLiteral("open");
const QString WaitWindowClosed = QStringLiteral("close");

} // namespace

frmUpdateInfo::frmUpdateInfo(Session& session, EventLoop& loop, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), loop_(loop) {
    setObjectName(QStringLiteral("frmUpdateInfo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Update Informationen"));

    MyBrowser = new QTextBrowser(this);
    // Links never load into the view: web pages open in the user's browser.
    MyBrowser->setOpenLinks(false);
    connect(MyBrowser, &QTextBrowser::anchorClicked, this, &frmUpdateInfo::openLink);
    lblClose = new LabelButton(QStringLiteral("&Weiter"), this);
    lblClose->setDefault(true);
    lblEnd = new QLabel(QStringLiteral("Beenden"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(lblEnd);
    buttons->addWidget(lblClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MyBrowser, 1);
    layout->addLayout(buttons);
    resize(twips(11175), twips(8055));

    connect(lblClose, &QAbstractButton::clicked, this, &QWidget::close);
}

frmUpdateInfo::~frmUpdateInfo() {
    // A window released while Init still waits takes its wait window along.
    delete wait_.data();
}

bool frmUpdateInfo::Init(const QString& callerName, const QString& version) {
    setWindowTitle(QStringLiteral("Informationen zum ") + callerName);
    try {
        return fetchPage(version);
    } catch (const std::exception&) {
        // Every run-time failure (RuntimeError included) means the page cannot be shown.
        unloadWaitWindow();
        return false;
    }
}

bool frmUpdateInfo::fetchPage(const QString& version) {
    const QString address = session_.ServerBaseUrl + QStringLiteral("/dataupdateframe.aspx");
    const QByteArray parameters = wire_address::encodeParameters(
        BuildDataQuery(session_, version, querymode::InformationPage));

    QElapsedTimer started;
    started.start();
    openWaitWindow();

    Interruption interruption = Interruption::None;
    const auto interrupted = [&] {
        if (session_.AbortRequested)
            interruption = Interruption::ProgramEnding;
        else if (session_.DialogArg1.toString() == WaitWindowClosed)
            interruption = Interruption::WaitWindowClosed;
        else if (started.elapsed() > timeout_.count())
            interruption = Interruption::TimedOut;
        return interruption != Interruption::None;
    };
    const FormPostAnswer answer = postForm(address, parameters, loop_, interrupted, PageLimit);

    switch (interruption) {
    case Interruption::ProgramEnding:
        // The main window is closing: the request is stopped, and the program ends.
        unloadWaitWindow();
        QCoreApplication::quit();
        return false;
    case Interruption::WaitWindowClosed:
        session_.DialogArg1 = QString();
        delete wait_.data();
        return false;
    case Interruption::TimedOut:
        if (wait_) {
            wait_->lblMeldung[0]->setText(QStringLiteral("Zeitüberschreitung ... "));
            wait_->repaint();
        }
        loop_.yield();
        unloadWaitWindow();
        return false;
    case Interruption::None:
        break;
    }
    unloadWaitWindow();
    // A failed connection or an error status of the server shows nothing, nor does a page that
    // the view could not lay out in reasonable time.
    if (!answer.succeeded())
        return false;
    const QString page = answer.text();
    if (!fitsHtmlView(page))
        return false;
    MyBrowser->document()->setBaseUrl(QUrl(address));
    MyBrowser->setHtml(page);
    return true;
}

void frmUpdateInfo::openWaitWindow() {
    wait_ = new frmWait(session_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    session_.DialogArg1 = WaitWindowOpen;
    wait_->lblMeldung[0]->setText(QStringLiteral("Die ") + windowTitle() +
                                  QStringLiteral("\r\n werden abgerufen ... "));
    placeOver(*wait_, over_);
    wait_->show();
}

void frmUpdateInfo::unloadWaitWindow() {
    // Closing it restores the mouse pointer and releases it.
    if (wait_)
        wait_->close();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void frmUpdateInfo::openLink(const QUrl& link) {
    const QUrl target = MyBrowser->document()->baseUrl().resolved(link);
    if (target.scheme() == QStringLiteral("http") || target.scheme() == QStringLiteral("https"))
        QDesktopServices::openUrl(target);
}

bool showUpdateInformation(Session& session, EventLoop& loop, const QString& callerName,
                           const QString& version, const QWidget* over) {
    auto* window = new frmUpdateInfo(session, loop);
    window->setPlacedOver(over);
    if (!window->Init(callerName, version)) {
        delete window;
        return false;
    }
    placeOver(*window, over);
    window->show();
    return true;
}

} // namespace upd
