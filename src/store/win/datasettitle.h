#pragma once
// The current data set: the file whose data the TEV programs work on now,
// shown in the main window's title.
#include <string>

// The data set's full path, empty when none; read from the registry on first
// use.
const std::wstring& CurrentDataSet();

// Makes the path the current data set and shows its file name in the main
// window's title ("Archiwin    [zestaw.tev]"), or the title alone when the
// file does not exist. True when it exists.
bool ShowDataSetInTitle(const std::wstring& path);
