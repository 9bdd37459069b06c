// The endurance section of the bench: the menu's work repeated thousands of
// times, in this process and in the real program, with the memory, GDI and
// USER objects and handles printed at the start, the middle and the end.
#pragma once

// Prints the endurance tables; "splash_bench.exe endurance" runs it alone.
void RunEnduranceSection();
