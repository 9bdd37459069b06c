#include "Driver.h"

#include <stdexcept>
#include <utility>

namespace {

constexpr DWORD kTextTimeoutMs = 5000;
constexpr DWORD kGentleCloseMs = 2000;
constexpr DWORD kForegroundTimeoutMs = 2000;
constexpr DWORD kInputSettleMs = 50;
constexpr int kMessageBoxTextId = 0xFFFF;

// The environment of this process with one variable set, as a block for
// CreateProcessA.
std::vector<char> EnvironmentWith(const std::string& name, const std::string& value)
{
    std::vector<char> block;
    const std::string prefix = name + "=";
    char* strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; entry != nullptr && *entry != '\0';
         entry += std::char_traits<char>::length(entry) + 1) {
        const std::string text(entry);
        if (::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                             prefix.c_str(), static_cast<int>(prefix.size()))
            == CSTR_EQUAL)
            continue;
        block.insert(block.end(), text.begin(), text.end());
        block.push_back('\0');
    }
    if (strings != nullptr)
        ::FreeEnvironmentStringsA(strings);
    const std::string added = prefix + value;
    block.insert(block.end(), added.begin(), added.end());
    block.push_back('\0');
    block.push_back('\0');
    return block;
}

// What stands before the last backslash of a path.
std::string FolderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// One mouse event through the system's input queue, as hardware would give it.
void SendMouse(DWORD flags, POINT point = POINT{})
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Absolute input is in 1/65536ths of the screen; round up so that the
        // system's truncation lands on the very pixel.
        const LONG width = ::GetSystemMetrics(SM_CXSCREEN);
        const LONG height = ::GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (point.x * 65536 + width - 1) / width;
        input.mi.dy = (point.y * 65536 + height - 1) / height;
    }
    ::SendInput(1, &input, sizeof(input));
}

// One key event through the system's input queue.
void SendKey(WORD virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

// The stand-in window does nothing of its own.
LRESULT CALLBACK PlainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

CMenuDriver::CMenuDriver(const std::string& programPath, const std::string& stubLog, std::string workingFolder)
{
    if (workingFolder.empty())
        workingFolder = FolderOf(programPath);
    std::string commandLine = "\"" + programPath + "\"";
    std::vector<char> environment = EnvironmentWith("SPLASH_STUB_LOG", stubLog);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, environment.data(),
                          workingFolder.c_str(), &startup, &started))
        throw std::runtime_error("cannot start " + programPath + " (error " + std::to_string(::GetLastError()) + ")");
    const COwnedKernelHandle thread(started.hThread);
    process.Reset(started.hProcess);
    processId = started.dwProcessId;
}

CMenuDriver::~CMenuDriver()
{
    if (HasEnded())
        return;
    for (HWND open : FindTopLevelWindows(kMenuWindowTitle, nullptr, processId))
        ::PostMessageA(open, WM_CLOSE, 0, 0);
    if (!WaitForExit(kGentleCloseMs)) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), kExitTimeoutMs);
    }
}

DWORD RunAndWait(const std::string& commandLine, const std::string& stubLog, DWORD timeoutMs)
{
    std::string mutableLine = commandLine;
    std::vector<char> environment = EnvironmentWith("SPLASH_STUB_LOG", stubLog);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS,
                          environment.data(), nullptr, &startup, &started))
        return kNotStarted;
    const COwnedKernelHandle thread(started.hThread);
    const COwnedKernelHandle process(started.hProcess);
    if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), kExitTimeoutMs);
        return kStillRunning;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}

HWND CMenuDriver::WaitForWindow(DWORD timeoutMs)
{
    PollUntil(
        [&] {
            for (HWND found : FindTopLevelWindows(kMenuWindowTitle, nullptr, processId))
                if (::IsWindowVisible(found)) {
                    window = found;
                    return true;
                }
            return HasEnded();
        },
        timeoutMs);
    return window;
}

HWND CMenuDriver::Control(int id) const
{
    return ::GetDlgItem(window, id);
}

RECT CMenuDriver::ControlRect(int id) const
{
    RECT rect{};
    ::GetWindowRect(Control(id), &rect);
    return rect;
}

POINT CMenuDriver::ControlCentre(int id) const
{
    const RECT rect = ControlRect(id);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string CMenuDriver::ControlText(int id) const
{
    return WindowText(Control(id));
}

void CMenuDriver::PointAt(int id) const
{
    MovePointerTo(ControlCentre(id));
}

void CMenuDriver::Click(int id) const
{
    ClickControlOf(window, id);
}

void CMenuDriver::PressKey(WORD virtualKey) const
{
    PressKeyIn(window, virtualKey);
}

void CMenuDriver::PostClose() const
{
    ::PostMessageA(window, WM_CLOSE, 0, 0);
}

void CMenuDriver::PostSystemClose() const
{
    ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CMenuDriver::PostCommand(int id) const
{
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
}

bool CMenuDriver::WaitForExit(DWORD timeoutMs) const
{
    return ::WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD CMenuDriver::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.Get(), &code);
    return code;
}

bool CMenuDriver::HasEnded() const
{
    return WaitForExit(0);
}

namespace {

struct CWindowSearch {
    const std::string& title;
    const char* className;
    DWORD processId;
    std::vector<HWND> found;
};

// EnumWindows callback: keeps the windows that match the search.
BOOL CALLBACK CollectMatchingWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<CWindowSearch*>(parameter);
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof(text));
    if (search.title != text)
        return TRUE;
    if (search.className != nullptr && WindowClassName(window) != search.className)
        return TRUE;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (search.processId == 0 || owner == search.processId)
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> FindTopLevelWindows(const std::string& title, const char* className, DWORD processId)
{
    CWindowSearch search{title, className, processId, {}};
    ::EnumWindows(CollectMatchingWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowClassName(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, kTextTimeoutMs, &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_BLOCK,
                               kTextTimeoutMs, &copied))
        return std::string();
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::wstring SentWideText(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, kTextTimeoutMs, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_BLOCK,
                               kTextTimeoutMs, &copied))
        return std::wstring();
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

void MovePointerTo(POINT point)
{
    // Put the pointer a pixel beside the target first, so that the input
    // below is a real move even when it is already there.
    ::SetCursorPos(point.x > 0 ? point.x - 1 : point.x + 1, point.y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, point);
    POINT now{};
    if (::GetCursorPos(&now) && (now.x != point.x || now.y != point.y))
        ::SetCursorPos(point.x, point.y);
    ::Sleep(kInputSettleMs);
}

void ClickAt(POINT point)
{
    MovePointerTo(point);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(kInputSettleMs);
}

bool WaitUntilPointLiesOn(HWND control, POINT point)
{
    // A window that has just been shown may not yet be the one the system
    // hands the pointer's input to at that point. The system passes over a
    // disabled control: its dialog gets the click.
    return PollUntil(
        [&] {
            const HWND hit = ::WindowFromPoint(point);
            return hit == control || (!::IsWindowEnabled(control) && hit == ::GetParent(control));
        },
        kForegroundTimeoutMs);
}

bool WaitUntilReadyForInput(HWND control)
{
    // A window just shown is still being activated and painted: a click that
    // arrives while its program gets through that can be taken by the
    // activation. Its thread answers a sent message only once it is back in
    // its message loop, and its window is then the active one.
    const HWND top = ::GetAncestor(control, GA_ROOT);
    GUITHREADINFO input{};
    input.cbSize = sizeof(input);
    const DWORD thread = ::GetWindowThreadProcessId(top, nullptr);
    return PollUntil(
        [&] {
            DWORD_PTR answer = 0;
            if (!::SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kForegroundTimeoutMs, &answer))
                return false;
            return ::GetGUIThreadInfo(thread, &input) && input.hwndActive == top && (input.flags & GUI_INMOVESIZE) == 0
                && input.hwndCapture == nullptr;
        },
        kForegroundTimeoutMs);
}

bool BringToFront(HWND window)
{
    return PollUntil(
        [&] {
            if (::GetForegroundWindow() == window)
                return true;
            ::SetForegroundWindow(window);
            return false;
        },
        kForegroundTimeoutMs);
}

void PressKeyIn(HWND window, WORD virtualKey)
{
    BringToFront(window);
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
    ::Sleep(kInputSettleMs);
}

std::wstring WideWindowText(HWND window)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

namespace {

struct CDialogSearch {
    int controlId;
    DWORD processId;
    HWND found;
};

// EnumWindows callback: stops at the first visible dialog of the process
// that holds the control.
BOOL CALLBACK FindDialogHolding(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<CDialogSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window) || WindowClassName(window) != kDialogClass
        || ::GetDlgItem(window, search.controlId) == nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND FindDialogWith(int controlId, DWORD processId)
{
    CDialogSearch search{controlId, processId, nullptr};
    ::EnumWindows(FindDialogHolding, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialogWith(int controlId, DWORD processId, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    PollUntil([&] { return (dialog = FindDialogWith(controlId, processId)) != nullptr; }, timeoutMs);
    return dialog;
}

void ClickControlOf(HWND window, int controlId)
{
    const HWND control = ::GetDlgItem(window, controlId);
    RECT rect{};
    ::GetWindowRect(control, &rect);
    const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    WaitUntilReadyForInput(control);
    WaitUntilPointLiesOn(control, centre);
    ClickAt(centre);
}

CProgramTexts::CProgramTexts(const std::string& programPath) :
    module(::LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE))
{
    if (!module)
        throw std::runtime_error("cannot read the texts of " + programPath);
}

std::wstring CProgramTexts::Text(unsigned id) const
{
    // With no buffer LoadStringW points into the resource itself.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module.Get(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::string CProgramTexts::Manifest() const
{
    const HRSRC found = ::FindResourceA(module.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    const auto* bytes
        = found != nullptr ? static_cast<const char*>(::LockResource(::LoadResource(module.Get(), found))) : nullptr;
    return bytes != nullptr ? std::string(bytes, ::SizeofResource(module.Get(), found)) : std::string();
}

HWND WaitForMessageBox(const std::string& caption, DWORD processId, DWORD timeoutMs)
{
    HWND box = nullptr;
    PollUntil(
        [&] {
            for (HWND found : FindTopLevelWindows(caption, kDialogClass, processId))
                if (::IsWindowVisible(found)) {
                    box = found;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return box;
}

std::string MessageBoxText(HWND box)
{
    return WindowText(::GetDlgItem(box, kMessageBoxTextId));
}

std::wstring WideMessageBoxText(HWND box)
{
    return WideWindowText(::GetDlgItem(box, kMessageBoxTextId));
}

void AnswerMessageBox(HWND box, int buttonId)
{
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, buttonId)));
}

COwnedWindow CreateTitledWindow(const std::string& title, bool visible)
{
    static const char kClassName[] = "SplashE2eTitledWindow";
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);
    const DWORD style = WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0);
    return COwnedWindow(::CreateWindowExA(0, kClassName, title.c_str(), style, 900, 700, 200, 100, nullptr, nullptr,
                                          windowClass.hInstance, nullptr));
}
