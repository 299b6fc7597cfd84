#pragma once
// TFileSearch: walks a folder tree depth first and reports every entry that
// matches a mask through events, processing the window messages between
// entries so that the window stays responsive and a handler or a button can
// stop the walk (Stop).
//
// A folder's matching entries are reported before its subfolders are
// entered. Folders that are links to other places (junctions, symbolic
// links) are reported when they match but never entered: a link back up the
// tree would walk in circles, a link out of it would take the walk
// elsewhere. Entries are matched by their long names (the system's search
// also matches short 8.3 names, so "*.lnk" would find "x.lnk2").
#include <windows.h>

#include <functional>
#include <string>

using TFileSearchEvent = std::function<void(const std::wstring& fullpath, const WIN32_FIND_DATAW& info)>;

class TFileSearch {
public:
    TFileSearch() = default;
    TFileSearch(const TFileSearch&) = delete;
    TFileSearch& operator=(const TFileSearch&) = delete;

    // Start folder and mask in one path ("c:\*.lnk"); at most 255 characters
    // are kept.
    const std::wstring& SearchFile() const { return searchFile_; }
    void SetSearchFile(const std::wstring& value) { searchFile_ = value.substr(0, 255); }
    bool RecurseSubFolders = true;
    // Set to stop a running walk; reset when a walk starts.
    bool Stop = false;

    // Once per matching entry (files and folders alike); fullpath is the
    // folder with a trailing backslash, info the entry.
    TFileSearchEvent OnFileFind;
    // Once when the walk enters a folder, before its entries; info is the
    // folder's own entry (empty for a drive root).
    TFileSearchEvent OnChangeFolder;
    // Once when the walk has ended, stopped or not.
    std::function<void()> OnFinish;
    // Runs the waiting window messages; the application's by default.
    std::function<void()> ProcessMessages;

    // Walks SearchFile and returns after OnFinish.
    void Execute();

private:
    void Walk(const std::wstring& folder, const WIN32_FIND_DATAW& entry, const std::wstring& mask);
    void Pump();

    std::wstring searchFile_;
};
