#include "MachineProbe.h"

#include "framework/StartupClock.h"

#include "system/FolderProbe.h"
#include "system/Paths.h"
#include "system/ProgramLauncher.h"
#include "system/Registry.h"
#include "system/VersionProbe.h"

bool CMachineProbe::KeyExists(const char* key) const
{
    return RegKeyExists(key);
}

bool CMachineProbe::ReadValue(const char* key, const char* value, std::string& text) const
{
    return ReadRegString(key, value, text);
}

bool CMachineProbe::FolderHolds(const std::string& name, const std::string& folder) const
{
    return FolderContains(name, folder);
}

bool CMachineProbe::ProgramExists(const std::string& path) const
{
    return IsExistingProgramFile(path);
}

bool CMachineProbe::PremiereFolder(std::string& folder) const
{
    return FindPremiereFolder(folder);
}

std::string CMachineProbe::FileVersion(const std::string& path, const char* item) const
{
    std::string version;
    ReadFileVersionItem(path, version, item);
    return version;
}

CleanUpRun CMachineProbe::RunCleanUp(const std::string& program, const std::string& commandLine, DWORD timeoutMs) const
{
    COwnedKernelHandle process;
    BeginStartupSpan("clean-up program's start (CreateProcess)");
    const bool started = StartProgram(program, commandLine, kNormalLaunchFlags, std::string(), process);
    EndStartupSpan("clean-up program's start (CreateProcess)");
    if (!started)
        return CleanUpRun::CouldNotStart;
    CStartupSpan span("clean-up program waited for");
    return WaitForProgram(process.Get(), timeoutMs) == WaitOutcome::Ended ? CleanUpRun::Ended : CleanUpRun::DidNotEnd;
}

const CMachineProbe& SystemProbe()
{
    static const CMachineProbe probe;
    return probe;
}
