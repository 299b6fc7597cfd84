#pragma once
// Running other programs from the native cabinet tests (cabextract, 7-Zip,
// gcab, tevcab).
#include <filesystem>
#include <string>

// Runs a command through the shell; its exit code (-1 when it did not exit),
// stdout and stderr together in out.
int Shell(const std::string& command, std::string* out = nullptr);
// A path quoted for the shell.
std::string Q(const std::filesystem::path& p);
