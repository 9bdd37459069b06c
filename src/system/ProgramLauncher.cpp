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

// Keeps the calling thread on the processor it runs on for as long as it
// lives, then gives the thread its former affinity back.
//
// A program is created while its creator is kept so. Under Wine every call
// a program makes is a round trip to the Wine server, which works on the
// processor of the program that called it last: here the menu's. The system
// starts a new program on the less busy processor, the other one, and each
// of the new program's calls then wakes the server's processor from idle:
// the clean-up program's first run inside the start-up took 38 to 52 ms
// where it takes about 25 ms started beside the server. The new program does
// not keep the binding: Wine gives its first thread the program's own
// affinity once it runs, and Windows never passes a thread's affinity on to
// the programs that thread starts.
class CThreadKeptOnItsProcessor {
public:
    CThreadKeptOnItsProcessor() noexcept
    {
        using GetProcessorNumber = DWORD(WINAPI*)();
        const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        const auto current = kernel != nullptr ? reinterpret_cast<GetProcessorNumber>(
                                                     ::GetProcAddress(kernel, "GetCurrentProcessorNumber"))
                                               : nullptr;
        if (current == nullptr)
            return;
        const DWORD number = current();
        if (number >= sizeof(DWORD_PTR) * 8)
            return;
        previous = ::SetThreadAffinityMask(::GetCurrentThread(), DWORD_PTR{1} << number);
    }
    // Keeps the error that the creation left for the caller.
    ~CThreadKeptOnItsProcessor()
    {
        const DWORD error = ::GetLastError();
        if (previous != 0)
            ::SetThreadAffinityMask(::GetCurrentThread(), previous);
        ::SetLastError(error);
    }
    CThreadKeptOnItsProcessor(const CThreadKeptOnItsProcessor&) = delete;
    CThreadKeptOnItsProcessor& operator=(const CThreadKeptOnItsProcessor&) = delete;

private:
    DWORD_PTR previous = 0;
};

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
    BOOL created = FALSE;
    {
        const CThreadKeptOnItsProcessor kept;
        created = ::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                                   workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started);
    }
    if (!created)
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
