#include "StartUpSystem.h"

#include "MenuDialog.h"
#include "base/Handles.h"
#include "system/Paths.h"
#include "system/RegistryNames.h"
#include "system/SystemLibrary.h"

#include <windows.h>

#include <shellapi.h>
#include <winnetwk.h>

#include <cstring>
#include <vector>

namespace {

// The names of this session's claim on the menu and of the mark of a copy
// that hands it over. Local\ keeps them to the session, on XP too; a copy
// elevated through account control runs in the same session.
constexpr char kMenuClaimName[] = "Local\\Tavrin Vexa disc menu";
constexpr char kHandOverName[] = "Local\\Tavrin Vexa disc menu hand-over";
// How often a copy that may not open another user's claim looks again
// whether it has gone.
constexpr DWORD kClaimPollMs = 50;

// Token information classes and values of Windows Vista and later, which
// the headers of this build's Windows version do not declare.
constexpr int kTokenElevationType = 18;
constexpr int kTokenElevation = 20;
constexpr DWORD kElevationTypeLimited = 3;

bool ReadTokenDword(HANDLE token, int informationClass, DWORD& value)
{
    DWORD size = 0;
    return ::GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(informationClass), &value, sizeof(value),
                                 &size)
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

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The path as a process of another logon sees it: a path on a mapped drive
// goes through the drive's share instead.
std::string ThroughShare(const std::string& path, const CStartUpSystem& system)
{
    if (path.size() < 2 || !IsDriveLetter(path[0]) || path[1] != ':')
        return path;
    const std::string share = system.NetworkPathOfDrive(path.substr(0, 2));
    if (share.empty())
        return path;
    std::string rest = path.substr(2);
    if (share.back() == '\\' && !rest.empty() && rest.front() == '\\')
        rest.erase(0, 1);
    return share + rest;
}

}  // namespace

bool CStartUpSystem::ClaimMenu(DWORD waitMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        COwnedKernelHandle mutex(::CreateMutexA(nullptr, FALSE, kMenuClaimName));
        if (mutex) {
            const DWORD waited = ::WaitForSingleObject(mutex.Get(), waitMs);
            if (waited == WAIT_TIMEOUT)
                return false;
            // A claim whose holder ended without giving it up is this one's now.
            if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
                claim.Reset(mutex.Release());
            return true;
        }
        // An elevated copy's claim, or another user's, is out of this
        // process's reach: the claim is taken. Any other failure leaves the
        // program as it was before it had a claim: the title check decides.
        if (::GetLastError() != ERROR_ACCESS_DENIED)
            return true;
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= waitMs)
            return false;
        ::Sleep(waitMs - waited < kClaimPollMs ? waitMs - waited : kClaimPollMs);
    }
}

void CStartUpSystem::BeginHandOver()
{
    handOver.Reset(::CreateEventA(nullptr, TRUE, FALSE, kHandOverName));
}

bool CStartUpSystem::HandOverPending() const
{
    const COwnedKernelHandle mark(::OpenEventA(SYNCHRONIZE, FALSE, kHandOverName));
    return mark || ::GetLastError() == ERROR_ACCESS_DENIED;
}

void CStartUpSystem::ReleaseMenu()
{
    // In this order: a copy that finds no mark finds the claim free.
    claim.Reset();
    handOver.Reset();
}

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

RelaunchOutcome CStartUpSystem::StartCopy(const char* verb, const std::string& program, const std::string& folder) const
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

std::string CStartUpSystem::NetworkPathOfDrive(const std::string& drive) const
{
    if (::GetDriveTypeA((drive + "\\").c_str()) != DRIVE_REMOTE)
        return std::string();
    // Loaded from the system folder only, and only for a remote drive.
    const COwnedLibrary network = LoadSystemLibrary("mpr.dll");
    const auto getConnection = LibraryFunction<decltype(&::WNetGetConnectionA)>(network.Get(), "WNetGetConnectionA");
    if (getConnection == nullptr)
        return std::string();
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const DWORD result = getConnection(drive.c_str(), buffer.data(), &length);
        if (result == NO_ERROR)
            return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
        if (result != ERROR_MORE_DATA || length <= buffer.size())
            return std::string();
        buffer.resize(length);
    }
}

CStartDecision DecideStart(CStartUpSystem& system)
{
    const Elevation elevation = system.ProcessElevation();
    // A copy with the rights may be the one that an unelevated copy has just
    // started, which keeps its claim until that start returns. The mark is
    // read before the claim is tried: the copy gives up the claim first.
    const DWORD waitMs = elevation != Elevation::NotElevated && system.HandOverPending() ? kHandOverWaitMs : 0;
    if (!system.ClaimMenu(waitMs) || system.MenuIsOpen())
        return {false, 0};
    if (elevation != Elevation::NotElevated)
        return {true, 0};
    // Started by its full path only: a copy found by a search could be anyone's.
    const std::string program = system.ProgramPath();
    if (program.empty())
        return {false, 1};
    system.BeginHandOver();
    const RelaunchOutcome outcome
        = system.StartCopy(kElevateVerb, ThroughShare(program, system), ThroughShare(system.WorkingFolder(), system));
    system.ReleaseMenu();
    switch (outcome) {
    case RelaunchOutcome::Started:
    case RelaunchOutcome::Declined:
        return {false, 0};
    case RelaunchOutcome::Failed:
        break;
    }
    return {false, 1};
}
