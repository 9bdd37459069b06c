#include "ProgramLauncher.h"

#include "Paths.h"

#include <vector>

namespace {

// The waits in progress on this thread.
thread_local int waitsInProgress = 0;

class CWaitInProgress {
public:
    CWaitInProgress() noexcept { ++waitsInProgress; }
    ~CWaitInProgress() { --waitsInProgress; }
    CWaitInProgress(const CWaitInProgress&) = delete;
    CWaitInProgress& operator=(const CWaitInProgress&) = delete;
};

// The answer once the time is up: the program may have ended at the last moment.
WaitOutcome LastLook(HANDLE process)
{
    switch (::WaitForSingleObject(process, 0)) {
    case WAIT_OBJECT_0:
        return WaitOutcome::Ended;
    case WAIT_TIMEOUT:
        return WaitOutcome::TimedOut;
    default:
        return WaitOutcome::Failed;
    }
}

}  // namespace

bool StartProgram(const std::string& program, const std::string& commandLine, DWORD creationFlags,
                  const std::string& workingFolder, COwnedKernelHandle& process)
{
    process.Reset();
    if (!IsExistingProgramFile(program)) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }

    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // The application name keeps CreateProcess from searching for the
    // command line's first token in the program's and the current folder.
    if (!::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                          workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started))
        return false;

    COwnedKernelHandle thread(started.hThread);
    process.Reset(started.hProcess);
    return true;
}

WaitOutcome WaitForProgram(HANDLE process, DWORD timeoutMs)
{
    const CWaitInProgress inProgress;
    const DWORD start = ::GetTickCount();
    DWORD remaining = timeoutMs;
    for (;;) {
        const DWORD result = ::MsgWaitForMultipleObjects(1, &process, FALSE, remaining, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return WaitOutcome::Ended;
        if (result == WAIT_TIMEOUT)
            return WaitOutcome::TimedOut;
        if (result != WAIT_OBJECT_0 + 1)
            return WaitOutcome::Failed;

        // Delivers the sent messages; posted ones, input included, stay queued.
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);

        if (timeoutMs != INFINITE) {
            // Unsigned subtraction stays right across the tick count's wrap.
            const DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= timeoutMs)
                return LastLook(process);
            remaining = timeoutMs - elapsed;
        }
    }
}

bool IsWaitingForProgram() noexcept
{
    return waitsInProgress > 0;
}
