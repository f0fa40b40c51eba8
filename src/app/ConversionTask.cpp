#include "app/ConversionTask.h"

#include <chrono>
#include <exception>
#include <thread>

namespace zorbik {

ConversionTask::ConversionTask(QObject* parent) : QObject(parent)
{
    poll_.setInterval(kProgressIntervalMs);
    connect(&poll_, &QTimer::timeout, this, &ConversionTask::PassOnProgress);
}

ConversionTask::~ConversionTask()
{
    // The worker must be gone before this object: its notices are posted
    // to it.
    Stop();
}

FileFailure ConversionTask::OpenTarget(const std::string& path, const SourceView& source,
                                       const TargetOptions& options)
{
    return conversion_.OpenTarget(path, NativeFile::Create::OpenAlways, source, options);
}

void ConversionTask::Start(const SourceBytes& source, const RecordLayout& layout, ColumnPlan plan)
{
    const std::uint64_t generation = ++generation_;
    recordsDone_ = 0;
    shownDone_ = 0;
    try {
        conversion_.Start(
            source, layout, std::move(plan), [this](std::uint64_t done) { WorkerProgress(done); },
            [this, generation](const ConversionOutcome&) {
                // Runs on the worker; the check runs on the window's thread.
                QMetaObject::invokeMethod(
                    this,
                    [this, generation] {
                        if (generation == generation_ && conversion_.Running()) {
                            poll_.stop();
                            PassOnProgress();
                            emit Finished();
                        }
                    },
                    Qt::QueuedConnection);
            });
    } catch (const std::exception&) {
        // No thread (the system refused one): nothing runs, and the open
        // target waits for Stop, like a conversion that never gets going.
        return;
    }
    poll_.start();
}

void ConversionTask::WorkerProgress(std::uint64_t recordsDone)
{
    recordsDone_.store(recordsDone, std::memory_order_relaxed);
}

void ConversionTask::PassOnProgress()
{
    const std::uint64_t done = recordsDone_.load(std::memory_order_relaxed);
    if (done != shownDone_) {
        shownDone_ = done;
        emit Progress(done);
    }
}

ConversionOutcome ConversionTask::Finish()
{
    poll_.stop();
    ++generation_;
    return conversion_.Finish();
}

void ConversionTask::Stop()
{
    poll_.stop();
    ++generation_;
    conversion_.Stop();
}

} // namespace zorbik
