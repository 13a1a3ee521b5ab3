#include "ui/frm_lizenz.h"

#include "ui/twips.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace upd {

frmLizenz::frmLizenz(Session& session, Prompts& prompts, QWidget* parent)
    : QDialog(parent), session_(session), prompts_(prompts) {
    setObjectName(QStringLiteral("frmLizenz"));
    setWindowTitle(QStringLiteral("Nutzungsbedingungen"));

    txtLizenz = new QPlainTextEdit(this);
    txtLizenz->setReadOnly(true);
    txtLizenz->setFocusPolicy(Qt::ClickFocus);
    Frame1 = new QGroupBox(this);
    Option1 = new QRadioButton(QStringLiteral("Ich akzeptiere die Nutzungsbedingungen"), Frame1);
    Option2 = new QRadioButton(QStringLiteral("Ich lehne die Nutzungsbedingungen ab"), Frame1);
    Option2->setChecked(true);
    auto* options = new QVBoxLayout(Frame1);
    options->addWidget(Option1);
    options->addWidget(Option2);
    lblCMD = new LabelButton(QStringLiteral("Weiter"), this);
    lblCMD->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtLizenz, 1);
    layout->addWidget(Frame1);
    layout->addWidget(lblCMD, 0, Qt::AlignRight);
    resize(twips(8000), twips(7000));
    // The choice comes first; Enter then goes on.
    Option2->setFocus(Qt::OtherFocusReason);

    connect(lblCMD, &QAbstractButton::clicked, this, &QDialog::close);
}

void frmLizenz::done(int result) {
    // Every way out (Weiter, the close box, Escape) passes here.
    const bool accepted = Option1->isChecked();
    if (!accepted &&
        prompts_.messageBox(QStringLiteral("Sie haben die Nutzungsbedingungen nicht akzeptiert. "
                                           "Möchten Sie fortfahren?"),
                            MessageButtons::YesNo, MessageIcon::Question,
                            ProgramTitle) == MessageAnswer::No)
        return;
    session_.DialogArg1 = accepted;
    QDialog::done(result);
}

} // namespace upd
