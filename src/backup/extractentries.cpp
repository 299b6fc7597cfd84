#include "backup/extractentries.h"

#include <unordered_map>

#include "cabinet/cab_reader.h"
#include "cabinet/file_target.h"
#include "cabinet/platform_file.h"
#include "util/failure.h"

namespace {

// Stored names compare ignoring the case of A-Z only.
std::wstring AsciiLower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> ExtractEntries(
    const std::wstring& archive, const std::wstring& folder, const std::vector<std::wstring>& keys,
    const std::function<bool(const std::wstring& path)>& allowOverwrite) {
    std::vector<std::pair<std::wstring, std::wstring>> failed;
    std::unordered_map<std::wstring, size_t> byName;
    for (size_t k = 0; k < keys.size(); ++k) byName.emplace(AsciiLower(keys[k]), k);
    try {
        CabReader reader = CabReader::Open(PathFromWide(archive));
        std::vector<size_t> wanted;
        std::vector<size_t> keyOf(reader.Entries().size(), 0);
        for (size_t i = 0; i < reader.Entries().size(); ++i) {
            auto found = byName.find(AsciiLower(reader.Entries()[i].name));
            if (found == byName.end()) continue;
            wanted.push_back(i);
            keyOf[i] = found->second;
        }
        FileTarget target(PathFromWide(folder));
        target.allowOverwrite = [&](const std::filesystem::path& path) {
            return !allowOverwrite || allowOverwrite(WideFromPath(path));
        };
        for (const CabEntryFailure& f : reader.Extract(wanted, target)) failed.emplace_back(keys[keyOf[f.index]], f.message);
    } catch (const Failure& f) {
        for (const std::wstring& key : keys) failed.emplace_back(key, f.message());
    }
    return failed;
}
