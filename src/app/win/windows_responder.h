#pragma once
// The program's side of the interaction layer (interact/programside.h): its
// dialog windows answer the modal seam, its progress window shows the
// progress calls, the application object gives the title and the registry
// the remembered answers.
class ModalResponder;

// Registers the program's side; RunArchiwin does it first thing, and so does
// the tests' main.
void RegisterProgramSide();

// The program's own windows, whatever responder is installed.
ModalResponder& WindowsResponder();
