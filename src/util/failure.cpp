#include "util/failure.h"

#include "util/cp1250.h"

const char* Failure::what() const noexcept {
    if (utf8_.empty()) utf8_ = WideToUtf8(message_);
    return utf8_.c_str();
}
