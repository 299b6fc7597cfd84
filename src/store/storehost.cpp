#include "store/storehost.h"

std::wstring StoreHost::ResolveTablePath(int, const std::wstring& suggested) { return suggested; }
bool StoreHost::FileExists(const std::wstring&) { return false; }
bool StoreHost::LoadListFromFile(tTevList&, const std::wstring&, bool) { return false; }
bool StoreHost::SaveListToFile(tTevList&, const std::wstring&, bool) { return false; }
bool StoreHost::AskRemembered(const std::wstring&, const std::wstring&) { return false; }
void StoreHost::ShowMessage(const std::wstring&) {}
void StoreHost::ShowStatus(const std::wstring&) {}
void StoreHost::FinishProgress() {}
void StoreHost::BeginBusy() {}
void StoreHost::EndBusy() {}
std::wstring StoreHost::FileDescription(const std::wstring&) { return {}; }
DateTimeValue StoreHost::Now() { return 0; }

namespace {

StoreHost quietHost;
StoreHost* currentHost = &quietHost;

}  // namespace

StoreHost& CurrentStoreHost() { return *currentHost; }

void SetStoreHost(StoreHost* host) { currentHost = host ? host : &quietHost; }
