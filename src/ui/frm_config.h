#pragma once

#include "core/prompts.h"
#include "core/session.h"
#include "ui/label_button.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace upd {

// The hidden configuration dialog: server address, key, parameter, search date and database
// values for the current run only. Nothing is stored.
class frmConfig final : public QDialog {
    Q_OBJECT
public:
    frmConfig(Session& session, Prompts& prompts, QWidget* parent = nullptr);

    QLineEdit* txtUpdateServer = nullptr;
    QLineEdit* txtControlKey = nullptr;
    QLineEdit* txtParameter = nullptr;
    QLineEdit* txtDate = nullptr;
    QLineEdit* txtDBVersion = nullptr;
    QLineEdit* txtDBName = nullptr;
    QPushButton* cmdLocal = nullptr;
    LabelButton* lblCMD = nullptr;

    void cmdLocal_Click();
    void lblCMD_Click();

private:
    Session& session_;
    Prompts& prompts_;
};

// True when the text is a date as a German user writes it ("31.12.2005", "1.2.05") or in ISO form.
bool isGermanDate(const QString& text);

} // namespace upd
