#include "dataupdate/install_sink.h"

namespace upd::dataupdate {

QString recordProgressText(std::int64_t record, std::int64_t records) {
    return QStringLiteral(" Übertrage Datensatz ") + QString::number(record) +
           QStringLiteral(" von ") + QString::number(records);
}

RecordProgress::RecordProgress(DataInstallSink& sink, std::int64_t records)
    : sink_(sink), records_(records) {}

RecordProgress::~RecordProgress() {
    if (current_ != shown_)
        sink_.showRecordProgress(current_, records_);
}

void RecordProgress::next() {
    ++current_;
    if (current_ == 1 || sinceShown_.elapsed() >= IntervalMs) {
        sink_.showRecordProgress(current_, records_);
        shown_ = current_;
        sinceShown_.start();
    }
}

} // namespace upd::dataupdate
