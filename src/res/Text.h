// The menu's texts. The string table holds six language blocks side by side:
// a language's text sits at the English identifier + the language offset
// (index * 1000), while file names, folder templates, captions and the
// language names are read at their own identifier in every language.
//
// What the user reads stays in UTF-16, as the table holds it, whatever the
// system's code page: before Windows 10 1903 no program gets the UTF-8 code
// page, and a Western one has no Japanese. Names that become paths are
// narrow, in the process code page, like every path of the program.
#pragma once

#include <string>

// The file name or folder template at the identifier in the process code
// page, read whole; empty when the table has no such identifier.
std::string LoadFixedText(unsigned id);

// The text the user reads at the identifier itself, in every language (the
// message boxes' captions, the language names).
std::wstring LoadFixedCaption(unsigned id);

// The text of the language whose offset is given, at id + languageOffset.
std::wstring LoadText(unsigned id, int languageOffset);

// The fixed folder template with the argument put in for each "%s" (see ExpandFormat).
std::string FormatFixedText(unsigned id, const std::string& argument);

// The text at id + languageOffset with the argument, a path or command line
// in the process code page, put in for each "%s".
std::wstring FormatText(unsigned id, int languageOffset, const std::string& argument);

// Reads the format as printf would with one string argument, but safely:
// each "%s" becomes the argument, "%%" becomes "%", and everything else,
// the argument included, is kept as it stands and never read as a format.
std::string ExpandFormat(const std::string& format, const std::string& argument);
std::wstring ExpandFormat(const std::wstring& format, const std::wstring& argument);

// Text in the process code page (a path, a command line) as UTF-16.
std::wstring WidenSystemText(const std::string& text);
