// Starting the programs of the disc and waiting for them to end.
#pragma once

#include "base/Handles.h"

#include <windows.h>

#include <string>

// How long the menu waits for an installer or the clean-up program.
constexpr DWORD kInstallerTimeoutMs = 600000;

// The creation flags of every program the menu starts from the disc.
constexpr DWORD kNormalLaunchFlags = CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS;

enum class WaitOutcome { Ended, TimedOut, Failed };

// Starts `program`, given by its full path, with the command line (whose
// first token names the program) as a new process in the working folder, or
// the menu's own when that is empty. The program is never searched for: a
// path that is not plain and absolute (IsPlainAbsolutePath) or names no
// existing file starts nothing. On success the process handle goes to the
// owner, which is emptied otherwise.
bool StartProgram(const std::string& program, const std::string& commandLine, DWORD creationFlags,
                  const std::string& workingFolder, COwnedKernelHandle& process);

// Waits up to timeoutMs (or INFINITE) for the process to end, ignoring input
// but answering messages that other threads send to this thread's windows,
// so that a program broadcasting with SendMessage cannot hang us both.
WaitOutcome WaitForProgram(HANDLE process, DWORD timeoutMs);

// Whether this thread is inside WaitForProgram: a message handled now was
// sent by another thread or program while the wait goes on.
bool IsWaitingForProgram() noexcept;
