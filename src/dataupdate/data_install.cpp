#include "dataupdate/data_install.h"

#include "dataupdate/install_drivers.h"

namespace upd::dataupdate {

DataInstallOutcome installDataPayload(const DatabaseLocation& location, const QString& progId,
                                      const XmlNode& payloadRoot, DataInstallSink& sink) {
    DataInstallOutcome outcome;
    if (const InstallDriver driver = driverFor(progId))
        outcome.succeeded = driver(location, payloadRoot, sink, outcome.errText);
    return outcome;
}

} // namespace upd::dataupdate
