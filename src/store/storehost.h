#pragma once
// What the stored lists need from the program around them: table paths, the
// loading and saving of data files with their safety copies, questions, the
// progress window and the cursor. This layer is portable and knows none of
// them; the program installs its host at start. Until then (and in tests of
// the format) a quiet host answers: no files, no table paths beyond the one
// suggested, every question answered no, nothing shown.
#include <cstdint>
#include <string>

#include "util/datetime.h"

class tTevList;

class StoreHost {
public:
    virtual ~StoreHost() = default;

    // The table's file: its registered path, looked for on the disk when gone.
    virtual std::wstring ResolveTablePath(int table, const std::wstring& suggested);
    virtual bool FileExists(const std::wstring& path);
    // The file-level load and save with their precautions.
    virtual bool LoadListFromFile(tTevList& list, const std::wstring& path, bool keepLoaded);
    virtual bool SaveListToFile(tTevList& list, const std::wstring& path, bool smallCopy);
    // A question with a "do not show again" box remembered under the key.
    virtual bool AskRemembered(const std::wstring& text, const std::wstring& dialogKey);
    // A message (an error about to be raised, shown first).
    virtual void ShowMessage(const std::wstring& text);
    virtual void ShowStatus(const std::wstring& text);
    virtual void FinishProgress();
    virtual void BeginBusy();
    virtual void EndBusy();
    virtual std::wstring FileDescription(const std::wstring& path);
    virtual DateTimeValue Now();
};

StoreHost& CurrentStoreHost();
// Installs the host (not owned); nullptr puts back the quiet one.
void SetStoreHost(StoreHost* host);
