#pragma once
// The maker's endpoints as this computer has them: the built-in values of
// net/endpoints.h with the registry's overrides.
#include <string_view>

#include "net/endpoints.h"

// Read on every call, so that a changed override counts at once.
MakerEndpoints ReadEndpoints();
// MirrorOrigin with the registry's override for host.
ServerOrigin ReadMirrorOrigin(std::wstring_view host);
