#pragma once
// What the cleanup wizard takes from the program above it, registered at
// start (app/win): the check that offers to clear the attributes of a file
// that cannot be written before it is deleted (the data layer's
// EnsureWritable), and the way to end the program after the wizard has
// arranged its own removal. Without a registration the wizard deletes
// without the attribute question and ends nothing itself.
#include <functional>
#include <string>

struct CleanupSide {
    std::function<bool(const std::wstring& path)> ensureWritable;
    std::function<void()> endProgram;
};

void SetCleanupSide(CleanupSide side);
const CleanupSide& CurrentCleanupSide();
