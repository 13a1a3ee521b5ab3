#pragma once

#include "core/prompts.h"
#include "core/session.h"
#include "ui/label_button.h"

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QRadioButton;

namespace upd {

// The terms of use, to be accepted before a program update is installed. The caller fills
// txtLizenz; on closing DialogArg1 is true when the terms were accepted, else false.
class frmLizenz final : public QDialog {
    Q_OBJECT
public:
    frmLizenz(Session& session, Prompts& prompts, QWidget* parent = nullptr);

    QPlainTextEdit* txtLizenz = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    LabelButton* lblCMD = nullptr;

    void done(int result) override;

private:
    Session& session_;
    Prompts& prompts_;
};

} // namespace upd
