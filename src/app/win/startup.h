#pragma once
// The program's start and end: the start-up steps before the main window,
// the command-line switches, and the steps after the main window closes.
#include <string>

// Switches that show one window instead of the main window, in the order
// they are tested. Each matches anywhere in the command line, ignoring case.
enum class WindowSwitch { None, Instaluj, PierwszyKrok, About, Ustawienia, KopieZapasowe, Vorozide };
WindowSwitch FindWindowSwitch(const std::wstring& commandLine);

// Failures that reach the message loop are shown with Ask and the program
// goes on.
void InstallExceptionHandler();

// Runs the program: start-up steps, the main window or a switch's window,
// the end of the run. Returns the process exit code.
int RunArchiwin(const std::wstring& commandLine);
