#pragma once
// The batch script that erases a program's files once the program has ended
// (TAppEraser): it tries each file until it is gone, gives up on one after a
// number of attempts a second apart, removes the folder when asked and when
// it is empty, and deletes itself.
//
// Every path in it is absolute and in double quotes; the script never
// changes its folder and never relies on short (8.3) names, which a volume
// may not have. Inside double quotes only "%" means something to the command
// processor (delayed expansion is off: the script is started with /V:OFF),
// so "%" is doubled and nothing else needs escaping.
#include <string>
#include <vector>

struct EraserScript {
    std::vector<std::wstring> files;  // absolute paths of the files to erase
    std::wstring folder;              // absolute path of a folder to remove when empty; empty: none
    int attempts = 300;               // per file, a second apart
};

// The script's lines, joined by CR LF. Empty when there is nothing to erase
// or a path is not absolute or carries a character a command line cannot
// hold in quotes (a double quote or a line end).
std::wstring EraserScriptText(const EraserScript& script);

// The text as the command processor reads it inside double quotes: "%"
// doubled.
std::wstring QuotedForBatch(const std::wstring& path);
