#include "app/win/stockicon.h"

HICON LoadStockIcon(LPCWSTR id, int pixels) {
    // The system's icon at that size is shared: hand out a copy.
    HANDLE shared = LoadImageW(nullptr, id, IMAGE_ICON, pixels, pixels, LR_SHARED);
    return shared ? CopyIcon(static_cast<HICON>(shared)) : nullptr;
}
