#include "app/FindRecordTask.h"

#include <system_error>

#include <QMetaObject>

namespace zorbik {

void FindRecordTask::Start(const SourceBytes& source)
{
    Wait();
    const std::uint64_t generation = ++generation_;
    running_ = true;
    try {
        worker_ = std::thread([this, &source, generation] {
            const std::optional<TableHeader> table = RecogniseTable(source);
            const RecordGuess guess = table ? RecordGuess{} : FindRecord(source);
            // Queued to this object: dropped by Qt should it be gone.
            QMetaObject::invokeMethod(this, [this, guess, table, generation] { Deliver(guess, table, generation); },
                                      Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        const std::optional<TableHeader> table = RecogniseTable(source);
        const RecordGuess guess = table ? RecordGuess{} : FindRecord(source);
        QMetaObject::invokeMethod(this, [this, guess, table, generation] { Deliver(guess, table, generation); },
                                  Qt::QueuedConnection);
    }
}

void FindRecordTask::Wait()
{
    ++generation_;
    if (worker_.joinable())
        worker_.join();
    running_ = false;
}

void FindRecordTask::Deliver(const RecordGuess& guess, const std::optional<TableHeader>& table,
                             std::uint64_t generation)
{
    if (generation != generation_)
        return;
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    emit Found(guess, table);
}

} // namespace zorbik
