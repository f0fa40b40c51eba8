// A conversion as the window sees it: the core's Conversion with its worker
// thread, and the two things the worker has to tell the window (how far it
// got, and that it has ended) carried over to the window's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include <QObject>
#include <QTimer>

#include "convert/Conversion.h"

namespace zorbik {

class ConversionTask : public QObject {
    Q_OBJECT
public:
    // How often the progress is passed on, at most.
    static constexpr int kProgressIntervalMs = 33;

    explicit ConversionTask(QObject* parent = nullptr);
    ~ConversionTask() override;

    // Creates the target (an existing file is replaced); why it cannot be
    // used when it cannot.
    FileFailure OpenTarget(const std::string& path, const SourceView& source, const TargetOptions& options);
    // Starts the worker. The source stays open and unchanged until Finish or
    // Stop. Should the system start no thread, nothing runs and the target
    // stays open until Stop deletes it.
    void Start(const SourceBytes& source, const RecordLayout& layout, ColumnPlan plan);
    // A target is open: from the target's opening to Finish or Stop.
    bool Active() const { return conversion_.HasTarget() || conversion_.Running(); }
    bool Started() const { return conversion_.Running(); }
    const std::string& TargetPath() const { return conversion_.TargetPath(); }
    TargetFormat Format() const { return conversion_.Format(); }

    // After Finished: waits for the worker and completes the target (or
    // deletes it when the worker failed).
    ConversionOutcome Finish();
    // Stops the worker and deletes the target. Nothing is written, and no
    // Finished is emitted, after this has begun.
    void Stop();

signals:
    // Records done so far; emitted on the window's thread.
    void Progress(quint64 recordsDone);
    // The worker has ended by itself (done, or failed); emitted once on the
    // window's thread, never for a stopped conversion.
    void Finished();

private:
    void WorkerProgress(std::uint64_t recordsDone);
    void PassOnProgress();

    Conversion conversion_;
    // Counts starts; a notice from an earlier start is stale.
    std::uint64_t generation_ = 0;
    std::atomic<std::uint64_t> recordsDone_{0};
    std::uint64_t shownDone_ = 0;
    QTimer poll_;
};

} // namespace zorbik
