// One conversion from start to end: the target file, the worker thread that
// fills it, and the two ways out, finishing (cut to length, close) and
// stopping (cut, close, delete). Used by the window and the command line.
//
// .xls and CSV are written into the target itself. A library writes .xlsx
// and SQLite into a file beside it, which replaces the target only when it
// is complete: an existing target is never left half-written, and one the
// user allowed to be replaced stays as it was when the conversion fails.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "convert/ColumnWalk.h"
#include "convert/ConversionEngine.h"
#include "record/RecordLayout.h"
#include "file/FileFailure.h"
#include "file/NativeFile.h"
#include "file/SourceView.h"

namespace zorbik {

class Conversion {
public:
    // Called on the worker thread when the record loop has ended.
    using DoneFn = std::function<void(const ConversionOutcome&)>;

    Conversion() = default;
    ~Conversion();
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // Creates or opens the target at offset 0 (and for the formats a
    // library writes, the file beside it). The source file itself is
    // refused, through whatever link the path reaches it. Returns why the
    // target cannot be used (Kind::None when it can).
    FileFailure OpenTarget(const std::string& path, NativeFile::Create mode, const SourceView& source,
                           const TargetOptions& options = {});
    bool HasTarget() const { return target_.IsOpen(); }
    const std::string& TargetPath() const { return targetPath_; }
    TargetFormat Format() const { return options_.format; }

    // Starts the worker thread. The source, layout and plan are read by it
    // until Finish or Stop; the caller keeps the source open till then.
    void Start(const SourceBytes& source, const RecordLayout& layout, ColumnPlan plan, ProgressFn progress,
               DoneFn done);
    bool Running() const { return worker_.joinable(); }

    // After the worker has reported: waits for it, cuts the target to what
    // was written and closes it. A conversion that did not finish, or whose
    // file cannot be completed, has its target deleted; one whose target was
    // removed or replaced by another program meanwhile has failed too.
    // Returns the outcome.
    ConversionOutcome Finish();

    // Stops the worker wherever it is: once this returns nothing more has
    // been written; the target is cut, closed and deleted.
    void Stop();

    // Asks the conversion under way to stop, from any thread or a signal
    // handler: it ends as after Stop, and Finish deletes the target.
    void Interrupt() { stop_.store(true); }

    // Runs the whole conversion on the calling thread, then Finish.
    ConversionOutcome RunHere(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                              const ProgressFn& progress);

private:
    TargetPlace Place(ByteSink& sink) const { return {options_, &sink, partPath_}; }
    // The finished file of a library in the target's place.
    bool PutInPlace();
    void DiscardTarget();
    // Whether the target path still names the file being written.
    bool TargetAtPath() const;

    NativeFile target_;
    std::string targetPath_;
    TargetOptions options_;
    std::string partPath_;       // the file beside the target a library writes
    bool targetCreated_ = false; // the target did not exist before

    std::thread worker_;
    std::atomic<bool> stop_{false};
    ConversionOutcome outcome_;
    std::unique_ptr<ColumnPlan> plan_;
};

} // namespace zorbik
