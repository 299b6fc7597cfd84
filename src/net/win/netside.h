#pragma once
// What the update and contact wizards take from the program above them (the
// calls that go up, docs/architecture.md): the running-siblings check and the
// process list of the start-up checks, the large backup, the kept copy's
// shortcut, the order window, and how the program ends at once for an
// installer. The program registers its side at start; a test registers its
// own. Whatever is not registered is left out: no siblings, no backup (the
// wizard then asks whether to go on), no shortcut, a notice for the order
// window, and a quit message to end the program.
#include <functional>
#include <string>
#include <vector>

struct NetSide {
    // CheckRunningSiblings(ask, don't end): true when other TEV programs run
    // and the user chose not to go on.
    std::function<bool()> checkRunningSiblings;
    // The executables of the running processes.
    std::function<std::vector<std::wstring>()> runningPrograms;
    // MakeLargeBackup(tag, extra file, ask first, report, no pruning, all
    // tables): true when the backup was made.
    std::function<bool(const std::wstring& tag, const std::wstring& extraFile)> makeLargeBackup;
    // Writes a shortcut (".lnk") to target with target's first icon; false on failure.
    std::function<bool(const std::wstring& link, const std::wstring& target)> writeShortcut;
    // Opens the order window for the product.
    std::function<void(const std::wstring& product)> openOrderWindow;
    // Ends the program at once (an installer is about to replace its files).
    std::function<void()> endProgram;
};

// Registers the program's side; returns the previous one.
NetSide SetNetSide(NetSide side);
const NetSide& CurrentNetSide();
