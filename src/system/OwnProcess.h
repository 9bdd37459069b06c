// Facts about the running program itself: where its file lies and which
// folder it was started in.
#pragma once

#include <string>

// The full path of the running program's file, whatever its length, or
// nothing when the system cannot say.
std::string OwnProgramPath();

// The current folder of the process, whatever its length, or nothing.
std::string CurrentFolder();
