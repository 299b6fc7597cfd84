#pragma once
// Heights of list items whose markup wraps at the list's width.
//
// Each item is laid out once without a width limit when it is added: its
// natural size. Laid out at any width not narrower than its natural width,
// the item breaks its lines exactly where it did without a limit (a line
// breaks only where the next word would end beyond the right edge), so its
// height is the natural one. Only items wider than the list are laid out
// again at the list's width, and each keeps the height of the last width it
// was laid out at. A resize of a list of ten thousand items that all fit
// therefore lays out nothing.
#include <functional>
#include <vector>

struct ItemExtent {
    int width = 0, height = 0;
};

class ItemHeights {
public:
    // Lays item `index` out in `width` pixels and returns the room it uses.
    using Layout = std::function<ItemExtent(int index, int width)>;
    // The width of a layout "without limit".
    static constexpr int kUnlimited = 4096;

    void Insert(int index, ItemExtent natural);
    void Erase(int index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    ItemExtent Natural(int index) const { return items_[static_cast<size_t>(index)].natural; }

    // The height of the item laid out in width pixels; lays it out only when
    // it is wider than that and was last laid out at another width.
    int HeightAt(int index, int width, const Layout& layout);
    // The widest natural width (0 for none).
    int Widest() const;

private:
    struct Item {
        ItemExtent natural;
        int fittedWidth = -1;  // the width of the last layout narrower than natural
        int fittedHeight = 0;
    };
    std::vector<Item> items_;
    mutable int widest_ = 0;
    mutable bool widestStale_ = false;
};
