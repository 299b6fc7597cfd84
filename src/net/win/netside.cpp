#include "net/win/netside.h"

#include <windows.h>

namespace {
NetSide& Side() {
    static NetSide side;
    return side;
}
}  // namespace

NetSide SetNetSide(NetSide side) {
    NetSide previous = std::move(Side());
    Side() = std::move(side);
    return previous;
}

const NetSide& CurrentNetSide() { return Side(); }
