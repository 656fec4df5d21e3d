#pragma once

#include "app/LanguageTable.h"

// The program from start-up to shutdown; returns the process exit code:
// 0 normal end, 4 no memory for the language texts, 5 and 6 from the language confirmation.
int RunBrovane(int argc, char** argv);

// Creates the LanguageTable; when that fails shows "Low memory for strings !" and gives 4.
// Needs the application object for the message box. 0 on success.
int CreateLanguageTableOrReport(LanguageEntryAllocator allocate = nullptr);
