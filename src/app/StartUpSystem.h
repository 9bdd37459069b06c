// What the program asks of the system before the menu opens: whether a menu
// is open already, whether this process has administrator rights, and
// starting itself again with them. Tests hand in their own answers.
//
// The program asks for no rights in its manifest: Windows starts no program
// that asks for them from the Run key at logon, and an installer that needs
// a restart brings the menu back through that key. The menu therefore
// raises its rights itself, once it knows it is the only copy.
#pragma once

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

class CStartUpSystem {
public:
    virtual ~CStartUpSystem() = default;

    // True when a top-level window has the menu's title.
    virtual bool MenuIsOpen() const;
    virtual Elevation ProcessElevation() const;
    // Starts `program` through the shell with `verb`, in `folder`.
    virtual RelaunchOutcome StartCopy(const char* verb, const std::string& program, const std::string& folder) const;
    virtual std::string ProgramPath() const;
    virtual std::string WorkingFolder() const;
};

// What the process does once its start-up checks are done: open the menu, or
// end with the exit code.
struct CStartDecision {
    bool runMenu;
    int exitCode;
};

// A copy that finds a menu open ends at once. A copy without the rights it
// needs starts itself again with them and ends, whether the user agreed or
// declined (then nothing can be installed, and a Run value stays for the
// next logon); it ends with 1 only when the shell could not start it at all.
CStartDecision DecideStart(const CStartUpSystem& system);
