// The host's parameter string, as any host (or anyone starting the program) may pass it.

#include "app/host_parameters.h"
#include "core/runtime_error.h"
#include "fuzz_check.h"
#include "support/memory_settings_store.h"

#include <cstddef>
#include <cstdint>

namespace {

class CountingPrompts final : public upd::Prompts {
public:
    upd::MessageAnswer messageBox(const QString&, upd::MessageButtons, upd::MessageIcon,
                                  const QString&) override {
        ++shown;
        return upd::MessageAnswer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    int shown = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString commandLine =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    upd::Session session;
    upd::test::MemorySettingsStore store;
    // The restart form takes this back; it is itself a parameter string.
    store.write(upd::ConfigApplication, upd::ConfigSection, upd::ParkedArgumentsKey, commandLine);
    CountingPrompts prompts;
    bool raised = false;
    upd::ParseOutcome outcome;
    try {
        outcome = upd::ParseHostParameters(session, commandLine, store, prompts);
    } catch (const upd::RuntimeError&) {
        raised = true;
    }
    // Exactly one way out: go on, a fatal message, or a run-time error for the start-up trap.
    FUZZ_CHECK(int(outcome.proceed) + int(prompts.shown > 0) + int(raised) == 1);
    return 0;
}
