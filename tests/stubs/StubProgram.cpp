// A stand-in for every program on the disc (installers, the clean-up tool,
// demos, the reader). It records how it was started, one line per start:
//   <its own path> TAB <GetCommandLineA()> TAB <its working folder>
// appended to the file that SPLASH_STUB_LOG names (inherited from whoever
// started the menu), else to "stub-log.txt" beside itself. Then it carries
// out the actions of its sidecar file "<its own path>.do", one per line:
//   sleep MS                 waits MS milliseconds
//   regkey KEY               creates KEY under HKEY_LOCAL_MACHINE
//   regvalue KEY NAME TEXT   writes TEXT (the rest of the line) as REG_SZ;
//                            KEY and NAME are quoted when they hold blanks
//   copyself PATH            copies itself to PATH, making its folders
//   broadcast                WM_SETTINGCHANGE to every top-level window, then
//                            a plain SendMessage to the menu's window
//   exit CODE                ends at once with CODE
// KEY, TEXT and PATH may hold %VARIABLES%; %STUB_FOLDER% is the stub's own
// folder. Results that a test may want (broadcast, failures) are logged as
// lines "<its own path> TAB !<action> TAB <outcome>".
#include "base/Handles.h"

#include <windows.h>

#include <cstdlib>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kMenuTitle[] = "Tavrin Vexa";
constexpr DWORD kBroadcastTimeoutMs = 5000;
constexpr DWORD kMenuAnswerTimeoutMs = 5000;
constexpr int kLogOpenAttempts = 50;
constexpr DWORD kLogRetryMs = 20;

// The full path of this program, whatever its length.
std::string OwnPath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// What stands before the last backslash of a path.
std::string FolderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// An environment variable, or empty when it is not set.
std::string Environment(const char* name)
{
    const DWORD size = ::GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return std::string();
    std::string value(size, '\0');
    const DWORD length = ::GetEnvironmentVariableA(name, &value[0], size);
    value.resize(length < size ? length : 0);
    return value;
}

// The text with its %VARIABLES% replaced; unchanged when that fails.
std::string ExpandVariables(const std::string& text)
{
    const DWORD size = ::ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0)
        return text;
    std::string expanded(size, '\0');
    const DWORD written = ::ExpandEnvironmentStringsA(text.c_str(), &expanded[0], size);
    if (written == 0 || written > size)
        return text;
    expanded.resize(written - 1);
    return expanded;
}

// The folder the stub was started in, as the program that started it chose.
std::string WorkingFolder()
{
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    if (size == 0)
        return std::string();
    std::string folder(size, '\0');
    const DWORD length = ::GetCurrentDirectoryA(size, &folder[0]);
    folder.resize(length < size ? length : 0);
    return folder;
}

// Opens a file, or gives an empty owner when it cannot.
COwnedKernelHandle OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    const HANDLE file
        = ::CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return COwnedKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Appends one whole line; several stubs may write at once, so the file is
// opened for appending only (each write lands at the end) and shared, and a
// moment's sharing conflict is retried.
void AppendLine(const std::string& logPath, const std::string& line)
{
    const std::string record = line + "\r\n";
    for (int attempt = 0; attempt < kLogOpenAttempts; ++attempt) {
        const COwnedKernelHandle file
            = OpenFile(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
        if (!file) {
            ::Sleep(kLogRetryMs);
            continue;
        }
        DWORD written = 0;
        ::WriteFile(file.Get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
        return;
    }
}

struct MenuQuery {
    HWND window = nullptr;
    char title[64] = {};
};

// Thread body: asks the menu window for its title with a plain SendMessage.
DWORD WINAPI AskMenuTitle(void* parameter)
{
    auto* query = static_cast<MenuQuery*>(parameter);
    ::SendMessageA(query->window, WM_GETTEXT, sizeof(query->title), reinterpret_cast<LPARAM>(query->title));
    return 0;
}

class CStub {
public:
    // Settles where to log and gives the sidecar %STUB_FOLDER%.
    CStub() : path(OwnPath()), logPath(Environment("SPLASH_STUB_LOG"))
    {
        if (logPath.empty())
            logPath = FolderOf(path) + "\\stub-log.txt";
        ::SetEnvironmentVariableA("STUB_FOLDER", FolderOf(path).c_str());
    }

    // The one line per start that tests read to learn what was started, and how.
    void RecordStart() const { AppendLine(logPath, path + "\t" + ::GetCommandLineA() + "\t" + WorkingFolder()); }

    // A line about one action, marked with "!" so it is never taken for a start.
    void Report(const std::string& action, const std::string& outcome) const
    {
        AppendLine(logPath, path + "\t!" + action + "\t" + outcome);
    }

    // Carries out the sidecar's lines in order; the exit code to end with.
    int RunSidecar() const
    {
        const COwnedKernelHandle file = OpenFile(path + ".do", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        if (!file)
            return 0;
        std::string text;
        char chunk[4096];
        DWORD read = 0;
        while (::ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr) && read > 0)
            text.append(chunk, read);

        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            int exitCode = 0;
            if (RunAction(line, exitCode))
                return exitCode;
        }
        return 0;
    }

private:
    // One sidecar line; true when it ends the program with exitCode.
    bool RunAction(const std::string& line, int& exitCode) const
    {
        std::istringstream words(line);
        std::string action;
        words >> action;
        std::string rest;
        std::getline(words >> std::ws, rest);
        if (action.empty() || action[0] == '#')
            return false;
        if (action == "sleep") {
            ::Sleep(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10)));
        } else if (action == "regkey") {
            CreateKey(ExpandVariables(rest));
        } else if (action == "regvalue") {
            WriteValue(rest);
        } else if (action == "copyself") {
            CopySelf(ExpandVariables(rest));
        } else if (action == "broadcast") {
            Broadcast();
        } else if (action == "exit") {
            exitCode = std::atoi(rest.c_str());
            return true;
        } else {
            Report(action, "unknown action");
        }
        return false;
    }

    // What an installer leaves to say it is installed: its key under HKLM.
    void CreateKey(const std::string& keyPath) const
    {
        HKEY key = nullptr;
        const LONG status = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                              nullptr, &key, nullptr);
        COwnedKey owned(key);
        if (status != ERROR_SUCCESS)
            Report("regkey", "failed " + std::to_string(status));
    }

    // "KEY NAME TEXT" with the key and the name as (quoted) words.
    void WriteValue(const std::string& arguments) const
    {
        std::istringstream words(arguments);
        std::string keyPath, name, text;
        // Backslashes are part of key paths, not escapes.
        constexpr char kNoEscape = '\0';
        words >> std::quoted(keyPath, '"', kNoEscape) >> std::quoted(name, '"', kNoEscape);
        std::getline(words >> std::ws, text);
        keyPath = ExpandVariables(keyPath);
        text = ExpandVariables(text);
        HKEY key = nullptr;
        LONG status = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        &key, nullptr);
        COwnedKey owned(key);
        if (status == ERROR_SUCCESS)
            status = ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>(text.size() + 1));
        if (status != ERROR_SUCCESS)
            Report("regvalue", "failed " + std::to_string(status));
    }

    // Pretends to install a program: the copy is a stub too, without a sidecar.
    void CopySelf(const std::string& target) const
    {
        for (std::string::size_type slash = target.find('\\', 3); slash != std::string::npos;
             slash = target.find('\\', slash + 1))
            ::CreateDirectoryA(target.substr(0, slash).c_str(), nullptr);
        if (!::CopyFileA(path.c_str(), target.c_str(), FALSE))
            Report("copyself", "failed " + std::to_string(::GetLastError()));
    }

    // Installers announce changed settings to every window; a menu that waits
    // for them without answering sent messages would hang here, so both calls
    // are bounded and their outcome is logged.
    void Broadcast() const
    {
        DWORD_PTR result = 0;
        const DWORD start = ::GetTickCount();
        const LRESULT answered
            = ::SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                                    SMTO_BLOCK, kBroadcastTimeoutMs, &result);
        Report("broadcast",
               std::string(answered ? "answered" : "timed out") + " after " + std::to_string(::GetTickCount() - start)
                   + " ms");

        const HWND menu = ::FindWindowA(nullptr, kMenuTitle);
        if (menu == nullptr) {
            Report("menu", "no window");
            return;
        }
        // A plain SendMessage has no bound of its own: it runs on a thread of
        // its own so that a menu that never answers cannot keep us here. The
        // query outlives this call in case the answer comes after all.
        static MenuQuery query;
        query.window = menu;
        const DWORD queryStart = ::GetTickCount();
        COwnedKernelHandle thread(::CreateThread(nullptr, 0, AskMenuTitle, &query, 0, nullptr));
        if (!thread) {
            Report("menu", "no thread");
            return;
        }
        if (::WaitForSingleObject(thread.Get(), kMenuAnswerTimeoutMs) != WAIT_OBJECT_0) {
            Report("menu", "no answer after " + std::to_string(::GetTickCount() - queryStart) + " ms");
            return;
        }
        Report("menu",
               "answered \"" + std::string(query.title) + "\" after " + std::to_string(::GetTickCount() - queryStart)
                   + " ms");
    }

    std::string path;
    std::string logPath;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const CStub stub;
    stub.RecordStart();
    return stub.RunSidecar();
}
