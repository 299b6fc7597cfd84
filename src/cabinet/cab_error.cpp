#include "cabinet/cab_error.h"

std::wstring DamagedMessage(const std::wstring& detail) { return L"Archiwum jest uszkodzone: " + detail + L"."; }

void ThrowDamaged(const std::wstring& detail) { throw CabError(CabErrorKind::Damaged, DamagedMessage(detail)); }
