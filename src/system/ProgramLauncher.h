// Starting the programs of the disc and waiting for them to end.
#pragma once

#include "../framework/Handles.h"

#include <windows.h>

#include <string>

// How long the menu waits for an installer or the clean-up program.
constexpr DWORD kInstallerTimeoutMs = 600000;

// The creation flags of every program the menu starts from the disc.
constexpr DWORD kNormalLaunchFlags = CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS;

enum class WaitOutcome { Ended, TimedOut, Failed };

// Starts the command line as a new process (its first token names the
// program) in the working folder, or the menu's own when that is empty; on
// success the process handle goes to the owner, which is emptied otherwise.
bool StartProgram(const std::string& commandLine, DWORD creationFlags, const std::string& workingFolder,
                  CKernelHandle& process);

// Waits up to timeoutMs (or INFINITE) for the process to end, ignoring input
// but answering messages that other threads send to this thread's windows,
// so that a program broadcasting with SendMessage cannot hang us both.
WaitOutcome WaitForProgram(HANDLE process, DWORD timeoutMs);
