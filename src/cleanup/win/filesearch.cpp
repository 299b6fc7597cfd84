#include "cleanup/win/filesearch.h"

#include "ui/win/application.h"
#include "util/paths.h"
#include "util/wildcard.h"
#include "util/win/filesearch.h"

namespace {

bool IsDotEntry(const wchar_t* name) { return !wcscmp(name, L".") || !wcscmp(name, L".."); }

// A listing closed however the walk leaves it.
class Listing {
public:
    explicit Listing(const std::wstring& pattern) : find_(FindFirstFileW(pattern.c_str(), &data_)) {}
    ~Listing() {
        if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    }
    Listing(const Listing&) = delete;
    Listing& operator=(const Listing&) = delete;
    bool Valid() const { return find_ != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAW& Entry() const { return data_; }
    bool Next() { return FindNextFileW(find_, &data_) != FALSE; }

private:
    WIN32_FIND_DATAW data_{};
    HANDLE find_;
};

}  // namespace

void TFileSearch::Pump() {
    if (ProcessMessages) ProcessMessages();
    else App().ProcessMessages();
}

void TFileSearch::Execute() {
    Stop = false;
    std::wstring folder = DirectoryPart(searchFile_);
    std::wstring mask = FileNamePart(searchFile_);
    if (mask.empty()) mask = L"*.*";
    WIN32_FIND_DATAW entry{};
    // The start folder's own entry; a drive root has none.
    std::wstring self = folder;
    RemoveBackslash(self);
    if (!self.empty() && self.back() != L':') {
        Listing own(self);
        if (own.Valid()) entry = own.Entry();
    }
    if (!folder.empty()) Walk(WithBackslash(folder), entry, mask);
    if (OnFinish) OnFinish();
}

void TFileSearch::Walk(const std::wstring& folder, const WIN32_FIND_DATAW& entry, const std::wstring& mask) {
    if (OnChangeFolder) OnChangeFolder(folder, entry);
    {
        Listing list(folder + mask);
        for (bool more = list.Valid(); more && !Stop; more = list.Next()) {
            const WIN32_FIND_DATAW& found = list.Entry();
            if (IsDotEntry(found.cFileName) || !MatchesMask(found.cFileName, mask)) continue;
            if (OnFileFind) OnFileFind(folder, found);
            Pump();
        }
    }
    if (Stop || !RecurseSubFolders) return;
    Listing list(folder + L"*.*");
    for (bool more = list.Valid(); more && !Stop; more = list.Next()) {
        Pump();
        if (Stop) break;
        const WIN32_FIND_DATAW found = list.Entry();
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(found.cFileName) &&
            !IsLinkedFolder(found))
            Walk(folder + found.cFileName + L"\\", found, mask);
        Pump();
    }
}
