#include "StartUpSystem.h"

#include "MenuDialog.h"
#include "base/Handles.h"
#include "system/Paths.h"
#include "system/RegistryNames.h"
#include "system/SystemLibrary.h"

#include <windows.h>

#include <shellapi.h>

namespace {

// Token information classes and values of Windows Vista and later, which
// the headers of this build's Windows version do not declare.
constexpr int kTokenElevationType = 18;
constexpr int kTokenElevation = 20;
constexpr DWORD kElevationTypeLimited = 3;


bool ReadTokenDword(HANDLE token, int informationClass, DWORD& value)
{
    DWORD size = 0;
    return ::GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(informationClass), &value,
               sizeof(value), &size)
        && size == sizeof(value);
}

// Whether account control is on. Read with read rights only: this process
// may not have more.
bool AccountControlIsOn()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPoliciesKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const COwnedKey owned(key);
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExA(key, kAccountControlValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size)
            != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof(value))
        return false;
    return value != 0;
}

}  // namespace

bool CStartUpSystem::MenuIsOpen() const
{
    // A window with the menu's title, of whatever program, counts as a running copy.
    return ::FindWindowA(nullptr, kMenuTitle) != nullptr;
}

Elevation CStartUpSystem::ProcessElevation() const
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return Elevation::NoAccountControl;
    const COwnedKernelHandle owned(token);
    DWORD elevated = 0;
    if (!ReadTokenDword(token, kTokenElevation, elevated))
        return Elevation::NoAccountControl;
    if (elevated != 0)
        return Elevation::Elevated;
    // A split token means account control holds this user's rights back.
    // Without one, account control may still be on for a standard user, who
    // is then asked for an administrator's password; when it is off, asking
    // again would start the same unelevated copy over and over.
    DWORD type = 0;
    if (ReadTokenDword(token, kTokenElevationType, type) && type == kElevationTypeLimited)
        return Elevation::NotElevated;
    return AccountControlIsOn() ? Elevation::NotElevated : Elevation::NoAccountControl;
}

RelaunchOutcome CStartUpSystem::StartCopy(const char* verb, const std::string& program,
                                          const std::string& folder) const
{
    SHELLEXECUTEINFOA start{};
    start.cbSize = sizeof(start);
    start.fMask = SEE_MASK_NOASYNC;
    start.lpVerb = verb;
    start.lpFile = program.c_str();
    start.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    start.nShow = SW_SHOWNORMAL;
    // The shell is loaded from the system folder only, and only here.
    const COwnedLibrary shell = LoadSystemLibrary("shell32.dll");
    const auto shellExecute = LibraryFunction<decltype(&::ShellExecuteExA)>(shell.Get(), "ShellExecuteExA");
    if (shellExecute == nullptr)
        return RelaunchOutcome::Failed;
    if (shellExecute(&start))
        return RelaunchOutcome::Started;
    return ::GetLastError() == ERROR_CANCELLED ? RelaunchOutcome::Declined : RelaunchOutcome::Failed;
}

std::string CStartUpSystem::ProgramPath() const
{
    return ProgramFilePath();
}

std::string CStartUpSystem::WorkingFolder() const
{
    return CurrentFolder();
}

CStartDecision DecideStart(const CStartUpSystem& system)
{
    if (system.MenuIsOpen())
        return {false, 0};
    if (system.ProcessElevation() != Elevation::NotElevated)
        return {true, 0};
    // Started by its full path only: a copy found by a search could be anyone's.
    const std::string program = system.ProgramPath();
    if (program.empty())
        return {false, 1};
    switch (system.StartCopy(kElevateVerb, program, system.WorkingFolder())) {
    case RelaunchOutcome::Started:
    case RelaunchOutcome::Declined:
        return {false, 0};
    case RelaunchOutcome::Failed:
        break;
    }
    return {false, 1};
}
