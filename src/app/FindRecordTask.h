// The finder as the window runs it: on a worker thread, so that the window
// stays responsive while a slow disk delivers the sample, with the guess
// handed over to the window's thread.
#pragma once

#include <cstdint>
#include <thread>

#include <QObject>

#include "find/RecordGuess.h"
#include "find/TableHeader.h"

namespace zorbik {

class FindRecordTask : public QObject {
    Q_OBJECT
public:
    explicit FindRecordTask(QObject* parent = nullptr) : QObject(parent) {}
    ~FindRecordTask() override { Wait(); }

    // Starts the finder on `source`, which must stay open until Found is
    // emitted or Wait returns. Should the system start no thread, the finder
    // runs here.
    void Start(const SourceBytes& source);
    bool Running() const { return running_; }
    // Waits for the worker and drops its guess: no Found follows.
    void Wait();

signals:
    // Emitted on the window's thread, once for each Start that Wait did not
    // drop: a table its header describes, or else the finder's guess.
    void Found(const zorbik::RecordGuess& guess, const std::optional<zorbik::TableHeader>& table);

private:
    void Deliver(const RecordGuess& guess, const std::optional<TableHeader>& table, std::uint64_t generation);

    std::thread worker_;
    // Counts starts and waits; a guess of an earlier one is stale.
    std::uint64_t generation_ = 0;
    bool running_ = false;
};

} // namespace zorbik
