#pragma once
// The program's side of the update and contact wizards (net/win/netside.h),
// and the message pump and failure handler of the network clients'
// synchronous calls (net/win/networker.h). Registered at start.
void RegisterNetSide();
