// Creates a sample host installation for a product: its database with the product family's
// tables and the workgroup file beside it, with the password of this build's deployment settings.
//
// quorlan-sample-database DIRECTORY DBNAME PRODUCT [--empty]

#include "core/deployment_settings.h"
#include "core/runtime_error.h"
#include "dataupdate/sample/sample_host.h"
#include "dataupdate/workgroup_password.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool empty = arguments.removeAll(QStringLiteral("--empty")) > 0;
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: quorlan-sample-database DIRECTORY DBNAME PRODUCT [--empty]\n");
        return 2;
    }
    using namespace upd::dataupdate;
    const auto family = sample::familyOf(arguments.at(2));
    if (!family) {
        std::fprintf(stderr, "no data tables for product %s\n", qPrintable(arguments.at(2)));
        return 2;
    }
    try {
        const QString password =
            workgroupPassword(upd::DeploymentSettings::fromEnvironment().workgroupPassword);
        sample::createSampleHost(arguments.at(0), arguments.at(1), *family, password, !empty);
    } catch (const upd::RuntimeError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }
    return 0;
}
