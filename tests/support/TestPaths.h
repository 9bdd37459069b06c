// Small helpers that unit and end-to-end tests share: where the test program
// and its fixtures are, and paths compared as the file system compares them.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

// The folder of the running test program, where the fixtures are built,
// whatever the length of the path that the clone lies under.
inline std::string TestProgramFolder()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size()) {
            const std::string program(buffer.data(), length);
            return program.substr(0, program.find_last_of('\\'));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Paths and DLL names compare without regard to case, as Windows does.
inline std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
