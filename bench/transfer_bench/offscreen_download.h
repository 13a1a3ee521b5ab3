#pragma once

#include "app/program_steps.h"
#include "core/event_loop.h"
#include "core/prompts.h"
#include "core/session.h"
#include "transfer/single_file_transfer.h"
#include "ui/frm_start.h"

namespace bench {

// Answers every prompt without showing it.
class SilentPrompts final : public upd::Prompts {
public:
    upd::MessageAnswer messageBox(const QString&, upd::MessageButtons, upd::MessageIcon,
                                  const QString&) override {
        return upd::MessageAnswer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
};

// The program's main window on its download tab, showing the progress of DownloadAFile as it
// does for the new updater. Needs a QApplication (offscreen for a benchmark).
class OffscreenDownload {
public:
    OffscreenDownload();

    upd::DownloadOutcome download(const QString& localFile, const QString& url) {
        return transfer_.DownloadAFile(localFile, url, true);
    }

private:
    static upd::Session programSession();

    upd::QtEventLoop loop_;
    SilentPrompts prompts_;
    upd::Session session_ = programSession();
    upd::ProgramWizardSteps steps_{loop_, prompts_};
    upd::frmStart window_{session_, prompts_, loop_, steps_};
    upd::TransferControl Inet1_{loop_};
    upd::SingleFileTransfer transfer_{loop_, window_.transferDisplay(), Inet1_};
};

} // namespace bench
