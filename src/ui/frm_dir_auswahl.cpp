#include "ui/frm_dir_auswahl.h"

#include "ui/twips.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace upd {

QString volumeRoot(const QString& volume) {
    // A drive letter: its upper case followed by ":\".
    if (volume.size() >= 2 && volume.at(0).isLetter() && volume.at(1) == QLatin1Char(':'))
        return volume.left(1).toUpper() + QStringLiteral(":\\");
    return QDir::toNativeSeparators(volume);
}

frmDirAuswahl::frmDirAuswahl(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmDirAuswahl"));
    setWindowTitle(QStringLiteral("Verzeichnisauswahl ..."));

    Drive1 = new QComboBox(this);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid())
            Drive1->addItem(QDir::toNativeSeparators(volume.rootPath()), volume.rootPath());
    }

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QDir::rootPath());
    Dir1 = new QTreeView(this);
    Dir1->setModel(model_);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < model_->columnCount(); ++column)
        Dir1->hideColumn(column);

    SSCommand1 = new QPushButton(QStringLiteral("&OK"), this);
    SSCommand1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addWidget(SSCommand1, 0, Qt::AlignRight);
    resize(twips(4500), twips(5000));

    // It opens on the system's root volume.
    const int rootIndex = Drive1->findData(QDir::rootPath());
    if (rootIndex >= 0)
        Drive1->setCurrentIndex(rootIndex);
    showDirectory(QDir::rootPath());

    connect(Drive1, &QComboBox::activated, this, &frmDirAuswahl::Drive1_Change);
    // The chosen directory follows the list's current entry, by mouse or by arrow keys.
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid())
                    path_ = model_->filePath(index);
            });
    connect(SSCommand1, &QPushButton::clicked, this, &frmDirAuswahl::SSCommand1_Click);
}

QString frmDirAuswahl::directoryPath() const {
    return QDir::toNativeSeparators(path_);
}

void frmDirAuswahl::Drive1_Change(int index) {
    const QString root = Drive1->itemData(index).toString();
    const QFileInfo info(root);
    // An unreadable volume leaves the list where it is, without a message.
    if (!info.isDir() || !info.isReadable() || !QDir(root).exists())
        return;
    showDirectory(QDir::fromNativeSeparators(volumeRoot(root)));
}

void frmDirAuswahl::showDirectory(const QString& path) {
    path_ = path;
    Dir1->setRootIndex(model_->index(path));
}

void frmDirAuswahl::SSCommand1_Click() {
    session_.DialogArg1 = directoryPath();
    accept();
}

} // namespace upd
