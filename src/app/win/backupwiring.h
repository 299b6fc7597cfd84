#pragma once
// The data files' side of the backup settings: whether a save makes a small
// copy, and the pruning of the older small copies after one. Registered at
// start, once the settings are loaded; the settings are read at each copy,
// so a change made in the options dialog counts from the next save.
void RegisterBackupSide();
