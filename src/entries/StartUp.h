// What the start of the menu learns before it shows anything: where the
// disc is, which hardware model the machine has and which language to
// speak. The menu and the disc check both start this way.
#pragma once

#include <windows.h>

#include <string>

// The folder part of `path`: what stands before its last backslash, or
// nothing when it has none.
std::string FolderOfPath(const std::string& path);

// The disc root: the folder of the program that the Run value names (the
// value is then deleted), else the folder of `programPath`.
std::string FindDiscRoot(const std::string& programPath);

// The hardware model from the stored "Codec" value (4 is the Vexa10).
int ReadModel();

// The stored language code into `languageCode` (kept when none can be
// read), and the index of the language it names.
int ReadLanguage(DWORD& languageCode);

// Whether the language a first start picks is stored for the next start;
// a check of the disc leaves the machine as it found it.
enum class FirstLanguage { Store, DoNotStore };

// The stored language into `languageCode` and its index; at the first
// start (no code stored) the language of the system's default language.
int SettleLanguage(DWORD& languageCode, FirstLanguage first);
