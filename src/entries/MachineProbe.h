// What the entries learn of the machine and the disc, through one small
// interface: the system's own functions, or the plain answers of a test.
// Every registry read, folder listing, file test and clean-up run of a
// refresh goes through it, in the order the rules ask.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

enum class CleanUpRun { Ended, CouldNotStart, DidNotEnd };

class CMachineProbe {
public:
    virtual ~CMachineProbe() = default;

    // Registry, under HKEY_LOCAL_MACHINE.
    virtual bool KeyExists(const char* key) const;
    virtual bool ReadValue(const char* key, const char* value, std::string& text) const;
    // The disc and the machine's files.
    virtual bool FolderHolds(const std::string& name, const std::string& folder) const;
    virtual bool ProgramExists(const std::string& path) const;
    // Adobe Premiere Pro's registered folder, and an item of a file's version.
    virtual bool PremiereFolder(std::string& folder) const;
    virtual std::string FileVersion(const std::string& path, const char* item) const;
    // Starts the suite's clean-up program and waits for it up to `timeoutMs`.
    virtual CleanUpRun RunCleanUp(const std::string& program, const std::string& commandLine, DWORD timeoutMs) const;
};

// The probe that asks the system.
const CMachineProbe& SystemProbe();
