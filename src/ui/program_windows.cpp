#include "ui/program_windows.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace upd {

void prepareProgramWindows() {
    installGermanTranslations();
    QApplication::setWindowIcon(programIcon());
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
