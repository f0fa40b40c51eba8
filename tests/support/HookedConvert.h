// Runs zorbik-convert's command in this process and calls a hook when the
// conversion reports progress for the first time, that is, in the middle of
// the record loop with the target open: the hook plays another program that
// deletes, replaces or cuts files at exactly that moment.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ConvertCommand.h"

namespace zorbik::testing {

// A stream buffer that runs the hook before the first character reaches it.
class HookOnFirstWrite : public std::stringbuf {
public:
    explicit HookOnFirstWrite(std::function<void()> hook) : hook_(std::move(hook)) {}
    bool Fired() const { return fired_; }

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        Fire();
        return std::stringbuf::xsputn(s, n);
    }
    int_type overflow(int_type c) override
    {
        Fire();
        return std::stringbuf::overflow(c);
    }

private:
    void Fire()
    {
        if (!fired_) {
            fired_ = true;
            hook_();
        }
    }
    std::function<void()> hook_;
    bool fired_ = false;
};

struct HookedRun {
    int code;
    std::string err; // the messages, without the progress bar
    bool hookRan;
};

// The progress bar goes to stderr when it is a terminal; it is the one
// thing written before the conversion ends, so the hook runs mid-way.
inline HookedRun ConvertWithHook(const std::vector<std::string>& args, std::function<void()> hook)
{
    HookOnFirstWrite progress(std::move(hook));
    std::ostream err(&progress);
    std::ostringstream out;
    CommandIo io{out, err, true, nullptr, nullptr, "en_US.UTF-8"};
    const int code = RunConvertCommand(args, io);
    std::string text = progress.str();
    // Keep what follows the last progress line: the messages.
    const std::size_t bar = text.rfind('\r');
    if (bar != std::string::npos) {
        const std::size_t lineEnd = text.find('\n', bar);
        text = lineEnd == std::string::npos ? std::string() : text.substr(lineEnd + 1);
    }
    return {code, text, progress.Fired()};
}

} // namespace zorbik::testing
