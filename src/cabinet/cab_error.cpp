#include "cabinet/cab_error.h"

void ThrowDamaged(const std::wstring& detail) {
    throw CabError(CabErrorKind::Damaged, L"Archiwum jest uszkodzone: " + detail + L".");
}
