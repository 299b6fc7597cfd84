#pragma once
// The progress window shared by every long operation: a status line, a bar,
// and message pumping so that windows stay painted during the work.
//
//   ShowStatus("Dodaję pliki do listy");
//   for (...) ShowProgress(i, n);
//   ShowStatus("Kompresuję pliki...");  // then UpdateProgress from the writer
//   FinishProgress();
//
// A status text may hold "short|long": the part before "|" is the headline.
#include <cstdint>
#include <string>

void ShowStatus(const std::wstring& text);
void ShowProgress(int64_t position, int64_t count);
// Progress of a long step (for example one data block of the cabinet writer);
// pos may run past tot. Pumps the waiting window messages.
void UpdateProgress(int64_t pos, int64_t tot);
void FinishProgress();
void RepaintProgress();
