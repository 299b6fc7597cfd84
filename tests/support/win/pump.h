#pragma once
// Runs the messages waiting for the test's windows as the program's own loop
// does (the forms' keyboard handling included): three rounds, 10 ms apart,
// so that messages posted while handling others are run too.
void Pump();
