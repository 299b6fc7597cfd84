#pragma once
// TFileOperation: copies, moves, renames or deletes files through the shell's
// file operation, with the shell's progress and confirmation dialogs and the
// Recycle Bin.
//
// The paths are lists of names, never one text split at ";" (a legal
// character in file names). Every entry must be an absolute path: a relative
// one would be taken from whatever folder is current. Masks are allowed in
// the last part of a source path.
#include <windows.h>
#include <shellapi.h>

#include <set>
#include <string>
#include <vector>

class Control;

enum class TFileOp { foCopy, foDelete, foMove, foRename };
enum class TFileOpFlag {
    fofAllowUndo,           // deleted files go to the Recycle Bin where there is one
    fofConfirmMouse,
    fofFilesOnly,           // with a mask: files only, no folders
    fofMultiDestFiles,      // one destination per source
    fofNoConfirmation,      // yes to every question
    fofNoConfirmMkDir,      // folders made without asking
    fofRenameOnCollision,   // a new name when the destination exists
    fofSilent,              // no progress dialog
    fofSimpleProgress,      // progress without file names
    fofNoErrorUI,           // no message box when a file cannot be handled (the caller reports)
};

class TFileOperation {
public:
    // owner: the window whose form owns the shell's dialogs; null: the
    // program's active window.
    explicit TFileOperation(Control* owner = nullptr) : owner_(owner) {}

    TFileOp Operation = TFileOp::foCopy;
    std::vector<std::wstring> FilesFrom;
    std::vector<std::wstring> FilesTo;
    std::set<TFileOpFlag> Flags;
    std::wstring ProgressTitle;
    // True when the user cancelled the last operation.
    bool OperationAborted() const { return aborted_; }
    // Runs the operation at once.
    void SetActive(bool active) {
        if (active) Execute();
    }
    // A description of the component.
    std::vector<std::wstring> About() const;

    // True when the shell reports success. False without calling the shell
    // when there is nothing to do or an entry is not an absolute path.
    bool Execute();

private:
    Control* owner_;
    bool aborted_ = false;
};

// The shell's option bits of the flags.
FILEOP_FLAGS ShellFlags(const std::set<TFileOpFlag>& flags);
