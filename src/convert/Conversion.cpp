#include "convert/Conversion.h"

#include <cerrno>

namespace zorbik {
namespace {

class FileSink : public ByteSink {
public:
    explicit FileSink(NativeFile& file) : file_(file) {}
    bool Write(const std::uint8_t* data, std::size_t n) override { return file_.Write(data, n); }

private:
    NativeFile& file_;
};

// Nothing thrown on the worker may end the program: running out of memory
// or threads there is a conversion that failed.
ConversionOutcome RunGuarded(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                             const TargetPlace& place, const std::atomic<bool>& stop,
                             const ProgressFn& progress) noexcept
{
    try {
        return RunConversion(source, layout, plan, place, stop, progress);
    } catch (...) {
        ConversionOutcome failed;
        failed.status = ConversionStatus::WriteFailed;
        return failed;
    }
}

} // namespace

Conversion::~Conversion()
{
    if (Running() || HasTarget())
        Stop();
}

FileFailure Conversion::OpenTarget(const std::string& path, NativeFile::Create mode, const SourceView& source,
                                   const TargetOptions& options)
{
    if (IdentityOfPath(path) == source.Identity())
        return {FileFailure::Kind::IsSource, 0, path};
    if (mode == NativeFile::Create::CreateNew && PathExists(path))
        return {FileFailure::Kind::Exists, EEXIST, path};
    const bool existed = PathExists(path);
    if (!target_.OpenWrite(path, mode))
        return {errno == EEXIST ? FileFailure::Kind::Exists : FileFailure::Kind::CannotCreate, errno, path};
    // The path may have been swapped for a link to the source in between.
    if (target_.Identity() == source.Identity()) {
        target_.Close();
        return {FileFailure::Kind::IsSource, 0, path};
    }
    targetCreated_ = !existed;
    partPath_.clear();
    if (WrittenAsFile(options.format)) {
        // The target stays open and untouched, so that its name is ours
        // until the finished file takes it.
        for (int n = 0; partPath_.empty(); ++n) {
            const std::string part = path + ".part" + (n == 0 ? std::string() : std::to_string(n));
            NativeFile file;
            if (file.OpenWrite(part, NativeFile::Create::CreateNew)) {
                file.Close();
                partPath_ = part;
            } else if (errno != EEXIST || n == 99) {
                const int error = errno;
                target_.Close();
                if (targetCreated_)
                    RemoveFile(path);
                return {FileFailure::Kind::CannotCreate, error, part};
            }
        }
    }
    targetPath_ = path;
    options_ = options;
    stop_ = false;
    return {};
}

void Conversion::Start(const SourceBytes& source, const RecordLayout& layout, ColumnPlan plan, ProgressFn progress,
                       DoneFn done)
{
    plan_ = std::make_unique<ColumnPlan>(std::move(plan));
    stop_ = false;
    worker_ = std::thread([this, &source, layout, progress = std::move(progress), done = std::move(done)] {
        FileSink sink(target_);
        outcome_ = RunGuarded(source, layout, *plan_, Place(sink), stop_, progress);
        if (done)
            done(outcome_);
    });
}

ConversionOutcome Conversion::Finish()
{
    if (worker_.joinable())
        worker_.join();
    if (!HasTarget())
        return outcome_;
    if (outcome_.status == ConversionStatus::Finished && !partPath_.empty()) {
        if (!PutInPlace())
            outcome_.status = ConversionStatus::WriteFailed;
    } else if (outcome_.status == ConversionStatus::Finished) {
        // Another program may have deleted, moved or replaced the target
        // while it was written: then the sheet is not where the user will
        // look for it, and what the path names now is not ours to delete.
        // Looked at after closing: on Windows a file deleted while open
        // keeps its name until its last handle is closed.
        const FileIdentity written = target_.Identity();
        const bool cut = target_.CutHere();
        const bool closed = target_.Close();
        const bool inPlace = IdentityOfPath(targetPath_) == written;
        if (!inPlace) {
            outcome_.status = ConversionStatus::WriteFailed;
        } else if (!cut || !closed) {
            outcome_.status = ConversionStatus::WriteFailed;
            RemoveFile(targetPath_);
        }
    } else {
        DiscardTarget();
    }
    return outcome_;
}

void Conversion::Stop()
{
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
    if (HasTarget()) {
        outcome_.status = ConversionStatus::Stopped;
        DiscardTarget();
    }
}

bool Conversion::PutInPlace()
{
    // As for a target written in place: what the path names now, when it
    // is no longer the file we hold, is not ours to replace.
    const FileIdentity held = target_.Identity();
    const bool closed = target_.Close();
    const bool inPlace = IdentityOfPath(targetPath_) == held;
    if (closed && inPlace && MoveOver(partPath_, targetPath_)) {
        partPath_.clear();
        return true;
    }
    RemoveFile(partPath_);
    partPath_.clear();
    if (inPlace && targetCreated_)
        RemoveFile(targetPath_);
    return false;
}

void Conversion::DiscardTarget()
{
    const bool inPlace = TargetAtPath();
    if (!partPath_.empty()) {
        // The target itself has not been written to.
        target_.Close();
        RemoveFile(partPath_);
        partPath_.clear();
        if (inPlace && targetCreated_)
            RemoveFile(targetPath_);
        return;
    }
    target_.CutHere();
    target_.Close();
    if (inPlace)
        RemoveFile(targetPath_);
}

bool Conversion::TargetAtPath() const
{
    return IdentityOfPath(targetPath_) == target_.Identity();
}

ConversionOutcome Conversion::RunHere(const SourceBytes& source, const RecordLayout& layout, const ColumnPlan& plan,
                                      const ProgressFn& progress)
{
    FileSink sink(target_);
    outcome_ = RunGuarded(source, layout, plan, Place(sink), stop_, progress);
    return Finish();
}

} // namespace zorbik
