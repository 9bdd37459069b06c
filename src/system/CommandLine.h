// The pieces that the command lines of the menu are made of.
#pragma once

#include <windows.h>

#include <string>

// The path as one token of a command line: in quotation marks when it holds
// a blank, as it stands otherwise.
std::string QuotedPath(const std::string& path);

// The text in quotation marks, whatever it holds.
std::string Quoted(const std::string& text);

// The installers' language switch: "/l0x" and the code in upper-case
// hexadecimal, at least two digits (French, 1036, gives "/l0x40C").
std::string LanguageArgument(DWORD languageCode);
