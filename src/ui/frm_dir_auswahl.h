#pragma once

#include "core/session.h"

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace upd {

// The directory chooser for the offline update directory. The drive list offers the platform's
// volumes (drive letters on Windows, mount points elsewhere); the directory list shows the folders
// of the chosen volume. "&OK" hands the chosen directory back in DialogArg1.
class frmDirAuswahl final : public QDialog {
    Q_OBJECT
public:
    explicit frmDirAuswahl(Session& session, QWidget* parent = nullptr);

    QComboBox* Drive1 = nullptr;
    QTreeView* Dir1 = nullptr;
    QPushButton* SSCommand1 = nullptr;

    // The directory the list stands on, in native form.
    QString directoryPath() const;
    // Moves the directory list to the root of the volume; an unreadable volume is ignored.
    void Drive1_Change(int index);
    void SSCommand1_Click();

private:
    void showDirectory(const QString& path);

    Session& session_;
    QFileSystemModel* model_ = nullptr;
    QString path_;
};

// The root directory of a volume as the directory list shows it: "D:\" for a drive "d:", the
// mount point itself elsewhere.
QString volumeRoot(const QString& volume);

} // namespace upd
