#include "net/win/endpoints.h"

#include "util/win/registry.h"

namespace {

// The override text of one value: the current user's, else the machine's.
std::wstring Override(const std::wstring& key, const std::wstring& name) {
    std::wstring v = RegReadValue(kCurrentUser, key, name, L"");
    if (v.empty()) v = RegReadValue(kLocalMachine, key, name, L"");
    return v;
}

}  // namespace

MakerEndpoints ReadEndpoints() {
    MakerEndpoints e = DefaultEndpoints();
    for (const wchar_t* name : {kUpdateServerValue, kMailServerValue, kWebServerValue, kUpdateMailboxValue, kSenderValue,
                                kSupportMailboxValue, kGeneralMailboxValue}) {
        ApplyEndpointOverride(e, name, Override(kEndpointsKey, name));
    }
    return e;
}

ServerOrigin ReadMirrorOrigin(std::wstring_view host) {
    return MirrorOrigin(host, Override(kMirrorsKey, std::wstring(host)));
}
