#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>

namespace upd::dataupdate {

// What a data installation reports while it runs. The window appends the log pieces to its
// installation log and shows the record progress in the installation tab's message area; both
// are expected to let the window repaint (yield) after showing.
class DataInstallSink {
public:
    virtual ~DataInstallSink() = default;

    // A piece of the installation log, appended as it is; a piece that starts a new line begins
    // with CR LF.
    virtual void appendLog(const QString& piece) = 0;

    // Record `record` (counted from 1) of `records` in the set being written. Sent with the newest
    // count at least every 10 ms while a set runs and once more at the end of every set, not for
    // every record. The text to show is recordProgressText(record, records).
    virtual void showRecordProgress(std::int64_t record, std::int64_t records) = 0;
};

// " Übertrage Datensatz 5 von 20": the text of the record progress.
QString recordProgressText(std::int64_t record, std::int64_t records);

// Passes the record count of one set to the sink: the first record at once, then the newest count
// whenever 10 ms have passed, and the last count when the set ends. Repainting the window for
// each of 100 000 records would cost more than writing them.
class RecordProgress {
public:
    RecordProgress(DataInstallSink& sink, std::int64_t records);
    ~RecordProgress(); // shows the last count reached

    RecordProgress(const RecordProgress&) = delete;
    RecordProgress& operator=(const RecordProgress&) = delete;

    // Counts the next record and shows it when it is due.
    void next();
    std::int64_t current() const { return current_; }

private:
    static constexpr std::int64_t IntervalMs = 10;

    DataInstallSink& sink_;
    std::int64_t records_;
    std::int64_t current_ = 0;
    std::int64_t shown_ = 0;
    QElapsedTimer sinceShown_;
};

} // namespace upd::dataupdate
