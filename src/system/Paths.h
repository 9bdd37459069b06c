// What the menu accepts as the path of a program or document it starts, and
// how long a path the narrow file functions take.
#pragma once

#include <cstddef>
#include <string>

// The length of narrow text in UTF-16 units, as Windows counts a path; the
// text is in the process code page (UTF-8 where the manifest gets it).
std::size_t Utf16Length(const std::string& text);

// True when the narrow file functions take the path: shorter than MAX_PATH
// in UTF-16 units, its terminating NUL then fits.
bool FitsNarrowPathLimit(const std::string& path);

// True for an absolute path on a drive ("C:\...") or a share
// ("\\server\share\..."), within the narrow path limit and holding no
// quotation mark or control character: nothing that a search, the current
// folder or the parsing of a command line could turn into another file.
bool IsPlainAbsolutePath(const std::string& path);

// True when the path is plain and absolute and names an existing file, not a folder.
bool IsExistingProgramFile(const std::string& path);

// The full path of the running program's file, whatever its length. It is
// read in UTF-16: a narrow buffer may be cut inside a character and still
// look complete.
std::string ProgramFilePath();

// The current folder of the process, whatever its length, or nothing.
std::string CurrentFolder();

// The system folder and the Windows folder shared by every user, without a
// trailing backslash; empty when Windows does not tell.
std::string SystemFolder();
std::string WindowsFolder();
