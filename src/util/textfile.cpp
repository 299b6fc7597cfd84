#include "util/textfile.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "util/cp1250.h"

bool AppendLine(const std::wstring& path, const std::wstring& text) {
    if (path.empty()) return false;
    const std::string bytes = WideToCp1250Lossy(text) + "\r\n";
    // Opening for appending never truncates; a file held by another program
    // usually comes free within a moment.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt) std::this_thread::sleep_for(std::chrono::milliseconds(40));
        std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::app);
        if (!out) continue;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return static_cast<bool>(out);
    }
    return false;
}
