#include "util/failure.h"

#include <new>

#include "util/cp1250.h"

const char* Failure::what() const noexcept {
    if (utf8_.empty()) utf8_ = WideToUtf8(message_);
    return utf8_.c_str();
}

std::wstring ExceptionMessage(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const Failure& f) {
        return f.message();
    } catch (const std::bad_alloc&) {
        return L"%Zabrakło pamięci.";
    } catch (const std::exception& x) {
        return Utf8ToWide(x.what());
    } catch (...) {
        return L"%Nieznany błąd.";
    }
}
