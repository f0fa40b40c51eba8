#include "app/MarkerIcons.h"

#include <QPixmap>

namespace zorbik {

bool MarkerIcons::Load(const QString& resource)
{
    const QPixmap strip(resource);
    if (strip.isNull() || strip.width() < kSize * kCount || strip.height() < kSize)
        return false;
    for (int i = 0; i < kCount; ++i) {
        const QPixmap picture = strip.copy(i * kSize, 0, kSize, kSize);
        QIcon icon;
        // The same picture for a selected row: a tinted marker would be
        // hard to tell from its neighbours.
        icon.addPixmap(picture, QIcon::Normal);
        icon.addPixmap(picture, QIcon::Selected);
        icon.addPixmap(picture, QIcon::Active);
        icons_[static_cast<std::size_t>(i)] = icon;
    }
    return true;
}

const QIcon& MarkerIcons::For(MarkerKind kind) const
{
    const auto index = static_cast<std::size_t>(kind);
    return icons_[index < icons_.size() ? index : 0];
}

} // namespace zorbik
