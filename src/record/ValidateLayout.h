// Checks the marks of the prototype record and computes its RecordLayout.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "record/RecordLayout.h"
#include "messages/Messages.h"
#include "marks/Marks.h"

namespace zorbik {

// The first fault found: its message and the row the list shows with it
// (kNoRow for none). No message means the marks passed.
struct LayoutFault {
    LayoutFault() = default;
    LayoutFault(MessageId message_, std::int32_t row_, MessageId detail_ = {}, std::vector<std::string> args_ = {})
        : message(message_), row(row_), detail(detail_), args(std::move(args_))
    {
    }
    MessageId message{};
    std::int32_t row = kNoRow;
    // What is wrong in detail, where one message does not say it all.
    MessageId detail{};
    std::vector<std::string> args; // what the detail's %1, %2 ... stand for
    explicit operator bool() const { return message != MessageId{}; }
};

// Runs the checks in their fixed order (record begin, record end, then the
// column pairs from the record begin to the last row) and fills `layout`.
// The fault names the row the user should look at.
LayoutFault ValidateLayout(const Marks& store, std::uint64_t sourceSize, RecordLayout& layout);

// Which counts ClampCounts limited: the messages to show, in order.
struct ClampResult {
    bool columnsClamped = false; // message 40
    bool recordsClamped = false; // message 42
};

// Limits columnCount and then recordCount to 65534.
ClampResult ClampCounts(RecordLayout& layout);

} // namespace zorbik
