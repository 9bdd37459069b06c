#include "Window.h"

#include <cstdio>
#include <exception>
#include <new>
#include <unordered_map>

namespace {

// The longest line an escaped exception's report writes; a longer
// description is cut.
constexpr std::size_t kReportLength = 256;

// The objects bound to this thread's windows. A window belongs to the thread
// that made it, and only that thread's messages look objects up, so no
// other thread's or program's window is ever taken for one of ours; a
// window property, which any program may set, would let a message name a
// window whose "object" is any address (and costs a round trip to the
// window server under Wine at every message). Never destroyed, so that no
// window object outlives it at exit.
std::unordered_map<HWND, CWindow*>& BoundObjects()
{
    thread_local auto* bound = new std::unordered_map<HWND, CWindow*>();
    return *bound;
}

// Windows whose object let go while a later subclass still called through
// it: the procedure each had before it, so that messages keep reaching it.
std::unordered_map<HWND, WNDPROC>& PassedThrough()
{
    thread_local auto* passed = new std::unordered_map<HWND, WNDPROC>();
    return *passed;
}

// The control that a reflectable message concerns, or null.
HWND ReflectionTarget(const CMessage& message)
{
    switch (message.message) {
    case WM_DRAWITEM:
        // Windows copies the structure for a sender elsewhere; a null one
        // names nothing.
        return message.lParam != 0 ? reinterpret_cast<const DRAWITEMSTRUCT*>(message.lParam)->hwndItem : nullptr;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(message.lParam);
    default:
        return nullptr;
    }
}

}  // namespace

void ReportEscapedException(UINT message) noexcept
{
    const char* what = "of no standard type";
    try {
        // Called only from a catch block: rethrowing names what was caught.
        // cppcheck-suppress rethrowNoCurrentException
        throw;
    } catch (const std::exception& exception) {
        if (exception.what() != nullptr)
            what = exception.what();
    } catch (...) {
    }
    // A buffer of fixed size: what escapes is most often a lack of memory.
    char line[kReportLength];
    std::snprintf(line, sizeof(line),
                  "Message 0x%04X: an exception left its handler (%s); the message had its default handling\n", message,
                  what);
    ::OutputDebugStringA(line);
}

const CMessageMap CWindow::messageMap = {nullptr, nullptr, 0};

const CMessageMap& CWindow::GetMessageMap() const
{
    return messageMap;
}

CWindow::~CWindow()
{
    Detach();
}

CWindow* CWindow::FromHandle(HWND handle) noexcept
{
    if (handle == nullptr)
        return nullptr;
    const auto& bound = BoundObjects();
    const auto found = bound.find(handle);
    return found != bound.end() ? found->second : nullptr;
}

bool CWindow::Attach(HWND existing)
{
    if (existing == nullptr || window != nullptr || FromHandle(existing) != nullptr)
        return false;
    Subclass(existing);
    return true;
}

// A wide procedure keeps the window Unicode: behind a narrow one every text
// that passes the window would go through the system's code page.
void CWindow::Subclass(HWND handle)
{
    window = handle;
    BoundObjects()[handle] = this;
    previousProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::WindowProcedure)));
}

// Undoes the subclass only while it is the window's current procedure: a
// subclass added later calls through this one, and restoring the earlier
// procedure would cut that one out. This one then stays in the chain and
// passes every message on to the procedure it had taken over.
void CWindow::Detach() noexcept
{
    if (window == nullptr)
        return;
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (previousProcedure != nullptr) {
        if (current == &CWindow::WindowProcedure) {
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
        } else {
            // Called from the window procedure too: without the memory to
            // note it, the window's later messages get the default handling.
            try {
                PassedThrough()[window] = previousProcedure;
            } catch (const std::bad_alloc&) {
            }
        }
    }
    BoundObjects().erase(window);
    window = nullptr;
    previousProcedure = nullptr;
}

bool CWindow::PreTranslateMessage(MSG&)
{
    return false;
}

LRESULT CALLBACK CWindow::WindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindow* object = FromHandle(handle);
    if (object == nullptr) {
        auto& passedThrough = PassedThrough();
        const auto passed = passedThrough.find(handle);
        if (passed == passedThrough.end())
            return ::DefWindowProcW(handle, message, wParam, lParam);
        const WNDPROC previous = passed->second;
        if (message == WM_NCDESTROY)
            passedThrough.erase(passed);
        return ::CallWindowProcW(previous, handle, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        WNDPROC previous = object->previousProcedure;
        object->Detach();
        return ::CallWindowProcW(previous, handle, message, wParam, lParam);
    }
    return object->Dispatch(CMessage{message, wParam, lParam});
}

LRESULT CWindow::Dispatch(const CMessage& message)
{
    const CMessage* outer = currentMessage;
    currentMessage = &message;
    LRESULT result = 0;
    if (!FindHandlerGuarded(message, result))
        result = Default();
    currentMessage = outer;
    return result;
}

// No exception may leave a window procedure: the window system's frames
// that called it cannot be unwound (32-bit code ends in std::terminate). A
// handler that throws leaves its message unhandled, and the program goes on.
bool CWindow::FindHandlerGuarded(const CMessage& message, LRESULT& result) noexcept
{
    try {
        return FindHandler(message, result);
    } catch (...) {
        ReportEscapedException(message.message);
    }
    return false;
}

// Looks for a handler in this class's map, then in each base's map in turn.
bool CWindow::FindHandler(const CMessage& message, LRESULT& result)
{
    const bool isClick = message.message == WM_COMMAND && HIWORD(message.wParam) == BN_CLICKED;
    for (const CMessageMap* map = &GetMessageMap(); map != nullptr; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const CMessageMapEntry& entry = map->entries[i];
            if (entry.message != message.message || entry.reflected != message.reflected)
                continue;
            if (entry.message == WM_COMMAND
                && (!isClick || LOWORD(message.wParam) < entry.firstCommandId
                    || LOWORD(message.wParam) > entry.lastCommandId))
                continue;
            result = entry.handler(*this, message);
            return true;
        }
    }
    return false;
}

// Hands owner-draw and colour requests to the child control's own object;
// a request that names any other window is not reflected.
bool CWindow::Reflect(const CMessage& message, LRESULT& result)
{
    const HWND target = ReflectionTarget(message);
    if (target == nullptr || !::IsChild(window, target))
        return false;
    CWindow* child = FromHandle(target);
    if (child == nullptr || child == this)
        return false;
    const CMessage reflected{message.message, message.wParam, message.lParam, true};
    const CMessage* outer = child->currentMessage;
    child->currentMessage = &reflected;
    const bool handled = child->FindHandlerGuarded(reflected, result);
    child->currentMessage = outer;
    return handled;
}

LRESULT CWindow::Default()
{
    if (currentMessage == nullptr)
        return 0;
    const CMessage& message = *currentMessage;
    // A reflected message nobody handled goes back to the parent, whose own
    // procedure then handles it.
    if (message.reflected)
        return 0;
    LRESULT result = 0;
    if (Reflect(message, result))
        return result;
    return CallPrevious(message);
}

LRESULT CWindow::CallPrevious(const CMessage& message)
{
    if (previousProcedure == nullptr)
        return ::DefWindowProcW(window, message.message, message.wParam, message.lParam);
    return ::CallWindowProcW(previousProcedure, window, message.message, message.wParam, message.lParam);
}
