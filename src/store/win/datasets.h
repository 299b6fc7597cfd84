#pragma once
// Data sets: the data files of the TEV programs packed into one cabinet, so
// that a user can keep several independent sets (one per firm) and switch
// between them; and the move of every data file into one directory.
//
// A set holds the current files of the data tables (the reference tables
// are never part of it), each under its bare file name. Open lists of those
// tables are saved before packing and read again after a set is unpacked.
#include <string>
#include <vector>

// The data files a set is made of: for each data table whose current file
// exists, that file's full path, in table order.
std::vector<std::wstring> DataSetFiles();

// Saves the open data lists and packs the data files into the current data
// set (a new cabinet replaces the set only once complete); records the set
// as the current one. False when a list could not be saved or the set not
// written.
bool PackDataSet();
// Asks, lets the user choose a set's file when none is current, and packs
// the current data into it. True when the data were packed. Fails while
// other TEV programs run.
bool CloseDataSet();
// Unpacks the set over the data files and reads the open lists again; a
// table the set lacks becomes empty. Reports what was read.
void OpenDataSet(const std::wstring& path);
// CloseDataSet, then the choice of the set to open, then OpenDataSet.
void ChangeDataSet();
// Moves the data file of every table into the directory; a table takes its
// new path only when its file moved.
void MoveDatabases(const std::wstring& directory);

// Whether other TEV programs run and the user declined to go on (asked, the
// program not ended); registered by the program at start. Unset: none run.
using RunningSiblingsCheck = bool (*)();
void SetRunningSiblingsCheck(RunningSiblingsCheck check);
