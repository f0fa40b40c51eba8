// The six marker pictures, one per MarkerKind, cut from the 96 by 16 strip
// of 16 by 16 images.
#pragma once

#include <array>

#include <QIcon>

#include "marks/Marks.h"

namespace zorbik {

class MarkerIcons {
public:
    static constexpr int kSize = 16;
    static constexpr int kCount = 6;

    // Loads the strip; false when it is missing or too small.
    bool Load(const QString& resource);
    const QIcon& For(MarkerKind kind) const;

private:
    std::array<QIcon, kCount> icons_;
};

} // namespace zorbik
