#include "CommandLine.h"

#include <cstdio>

std::string QuotedPath(const std::string& path)
{
    if (path.find_first_of(" \t") == std::string::npos)
        return path;
    return Quoted(path);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string LanguageArgument(DWORD languageCode)
{
    // "/l0x" and eight digits at most, with room to spare.
    char argument[16] = {};
    std::snprintf(argument, sizeof(argument), "/l0x%.2X", static_cast<unsigned>(languageCode));
    return argument;
}
