#include "ui/program_windows.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QStyle>
#include <QTranslator>

namespace upd {

namespace {

// Fusion draws a light thumb in a darker groove, which users read the wrong way round: in a list
// shown from its top they take the dark empty groove below for the thumb. A dark thumb on a light
// groove reads at once. Native styles keep their own scroll bars.
const QString ClearScrollBars = QStringLiteral(
    "QScrollBar { background: rgb(236, 236, 236); border: none; }"
    "QScrollBar:vertical { width: 12px; }"
    "QScrollBar:horizontal { height: 12px; }"
    "QScrollBar::handle { background: rgb(128, 128, 128); border-radius: 3px; margin: 2px; }"
    "QScrollBar::handle:hover { background: rgb(96, 96, 96); }"
    "QScrollBar::handle:vertical { min-height: 20px; }"
    "QScrollBar::handle:horizontal { min-width: 20px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: none; }");

} // namespace

void prepareProgramWindows() {
    installGermanTranslations();
    QApplication::setWindowIcon(programIcon());
    if (QApplication::style()->name() == QStringLiteral("fusion"))
        qApp->setStyleSheet(ClearScrollBars);
}

bool installGermanTranslations() {
    // Qt's directory on a system with Qt installed; beside the program where it brings its own.
    const QStringList folders = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QStringLiteral("qtbase_de"), folder) &&
            QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/program-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace upd
