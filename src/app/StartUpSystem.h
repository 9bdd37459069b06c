// What the program asks of the system before the menu opens: the claim on
// the one menu of the session, whether a menu is open already, whether this
// process has administrator rights, and starting itself again with them.
// Tests hand in their own answers.
//
// The program asks for no rights in its manifest: Windows starts no program
// that asks for them from the Run key at logon, and an installer that needs
// a restart brings the menu back through that key. The menu therefore
// raises its rights itself, once it knows it is the only copy.
#pragma once

#include "base/Handles.h"

#include <windows.h>

#include <string>

enum class Elevation {
    Elevated,
    NotElevated,
    // No account control: Windows before Vista, or account control switched
    // off. The process has whatever rights its user has, as it always had.
    NoAccountControl,
};

enum class RelaunchOutcome { Started, Declined, Failed };

// The shell verb that asks for administrator rights.
constexpr char kElevateVerb[] = "runas";

// How long a copy started with the rights waits for the claim of the copy
// that started it, which gives it up as soon as the start returns.
constexpr DWORD kHandOverWaitMs = 10000;

class CStartUpSystem {
public:
    virtual ~CStartUpSystem() = default;

    // Claims the one menu of this session for the process, for as long as
    // this object lives, waiting up to `waitMs` for the copy that holds it;
    // false when another copy keeps it.
    virtual bool ClaimMenu(DWORD waitMs);
    // Marks, until ReleaseMenu, that this copy hands its claim over to the
    // elevated copy it starts.
    virtual void BeginHandOver();
    // True while a copy of the session is handing its claim over.
    virtual bool HandOverPending() const;
    // Gives the claim up, then the hand-over mark.
    virtual void ReleaseMenu();
    // True when a top-level window has the menu's title.
    virtual bool MenuIsOpen() const;
    virtual Elevation ProcessElevation() const;
    // Starts `program` through the shell with `verb`, in `folder`.
    virtual RelaunchOutcome StartCopy(const char* verb, const std::string& program, const std::string& folder) const;
    virtual std::string ProgramPath() const;
    virtual std::string WorkingFolder() const;
    // The share ("\\server\share") that a drive ("Z:") is mapped to when
    // the system reports it as remote; empty for any other drive.
    virtual std::string NetworkPathOfDrive(const std::string& drive) const;

private:
    COwnedHeldMutex claim;
    COwnedKernelHandle handOver;
};

// What the process does once its start-up checks are done: open the menu, or
// end with the exit code.
struct CStartDecision {
    bool runMenu;
    int exitCode;
};

// A copy that finds the menu claimed, or a window with its title, ends at
// once: the first copy's window has its title only after the clean-up step.
// A copy without the rights it needs starts itself again with them, keeping
// its claim until the start returns so that no other copy asks meanwhile,
// and ends, whether the user agreed or declined (then nothing can be
// installed, and a Run value stays for the next logon); it ends with 1 only
// when the shell could not start it at all. From a mapped drive it starts
// the copy through the drive's share: an elevated process does not see the
// drives that the user mapped.
CStartDecision DecideStart(CStartUpSystem& system);
