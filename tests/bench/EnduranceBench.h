// The endurance section of the bench: the menu's work repeated thousands of
// times, in this process and in the real program, with the memory, GDI and
// USER objects and handles printed at the start, the middle and the end.
#pragma once

#include <windows.h>

// Prints the endurance tables; "splash_bench.exe endurance" runs it alone.
void RunEnduranceSection();

// The working set and private bytes of a process, in KB; -1 where the
// system reports nothing.
struct CProcessMemory {
    long workingSetKb = -1;
    long privateKb = -1;
};
CProcessMemory ReadMemoryOf(HANDLE process);
