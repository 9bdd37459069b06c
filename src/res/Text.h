// The menu's texts. The string table holds six language blocks side by side:
// a language's text sits at the English identifier + the language offset
// (index * 1000), while file names, folder templates, captions and the
// language names are read at their own identifier in every language.
#pragma once

#include <string>

// The text at the identifier in the system's ANSI code page, read whole;
// empty when the table has no such identifier.
std::string LoadFixedText(unsigned id);

// The text of the language whose offset is given, at id + languageOffset.
std::string LoadText(unsigned id, int languageOffset);

// The fixed text with the argument put in for each "%s" (see ExpandFormat).
std::string FormatFixedText(unsigned id, const std::string& argument);

// The text at id + languageOffset with the argument put in for each "%s".
std::string FormatText(unsigned id, int languageOffset, const std::string& argument);

// Reads the format as printf would with one string argument, but safely:
// each "%s" becomes the argument, "%%" becomes "%", and everything else,
// the argument included, is kept as it stands and never read as a format.
std::string ExpandFormat(const std::string& format, const std::string& argument);
