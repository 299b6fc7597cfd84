#include "console.h"

#include "util/cp1250.h"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

void Write(std::FILE* stream, std::wstring_view text) {
#ifdef _WIN32
    HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written;
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
#endif
    const std::string bytes = WideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

}  // namespace

void Out(std::wstring_view text) { Write(stdout, text); }

void Err(std::wstring_view text) {
    Write(stderr, text);
    std::fflush(stderr);
}

bool ErrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}
