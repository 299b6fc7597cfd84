#include "ui/kit/itemheights.h"

#include <algorithm>

void ItemHeights::Insert(int index, ItemExtent natural) {
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, Item{natural});
    if (!widestStale_) widest_ = std::max(widest_, natural.width);
}

void ItemHeights::Erase(int index) {
    if (index < 0 || index >= Count()) return;
    // Only losing the widest item makes the widest unknown.
    if (items_[static_cast<size_t>(index)].natural.width >= widest_) widestStale_ = true;
    items_.erase(items_.begin() + index);
}

void ItemHeights::Clear() {
    items_.clear();
    widest_ = 0;
    widestStale_ = false;
}

int ItemHeights::HeightAt(int index, int width, const Layout& layout) {
    Item& item = items_[static_cast<size_t>(index)];
    if (item.natural.width <= width) return item.natural.height;
    if (item.fittedWidth != width) {
        item.fittedHeight = layout(index, width).height;
        item.fittedWidth = width;
    }
    return item.fittedHeight;
}

int ItemHeights::Widest() const {
    if (widestStale_) {
        widest_ = 0;
        for (const Item& item : items_) widest_ = std::max(widest_, item.natural.width);
        widestStale_ = false;
    }
    return widest_;
}
