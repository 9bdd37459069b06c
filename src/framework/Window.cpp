#include "Window.h"

#include <unordered_map>

namespace {

// The objects bound to the program's windows, by window, for the one
// user-interface thread. Every message to a bound window looks its object up
// here, so the lookup must cost next to nothing: a window property costs a
// round trip to the window server under Wine. Never destroyed, so that no
// window object outlives it at exit.
std::unordered_map<HWND, CWindow*>& BoundObjects()
{
    static auto* bound = new std::unordered_map<HWND, CWindow*>();
    return *bound;
}

// The control that a reflectable message concerns, or null.
HWND ReflectionTarget(const CMessage& message)
{
    switch (message.message) {
    case WM_DRAWITEM:
        return reinterpret_cast<const DRAWITEMSTRUCT*>(message.lParam)->hwndItem;
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

void CWindow::Subclass(HWND handle)
{
    window = handle;
    BoundObjects()[handle] = this;
    previousProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::WindowProcedure)));
}

void CWindow::Detach()
{
    if (window == nullptr)
        return;
    if (previousProcedure != nullptr)
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
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
    if (object == nullptr)
        return ::DefWindowProcA(handle, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC previous = object->previousProcedure;
        object->Detach();
        return ::CallWindowProcA(previous, handle, message, wParam, lParam);
    }
    return object->Dispatch(CMessage{message, wParam, lParam});
}

LRESULT CWindow::Dispatch(const CMessage& message)
{
    const CMessage* outer = currentMessage;
    currentMessage = &message;
    LRESULT result = 0;
    if (!FindHandler(message, result))
        result = Default();
    currentMessage = outer;
    return result;
}

// Looks for a handler in this class's map, then in each base's map in turn.
bool CWindow::FindHandler(const CMessage& message, LRESULT& result)
{
    const bool isClick = message.message == WM_COMMAND && HIWORD(message.wParam) == BN_CLICKED;
    for (const CMessageMap* map = &GetMessageMap(); map != nullptr; map = map->base) {
        for (std::size_t i = 0; i < map->count; ++i) {
            const CMessageMapEntry& entry = map->entries[i];
            if (entry.message != message.message)
                continue;
            if (entry.message == WM_COMMAND && (!isClick || entry.commandId != LOWORD(message.wParam)))
                continue;
            result = entry.handler(*this, message);
            return true;
        }
    }
    return false;
}

// Hands owner-draw and colour requests to the child control's own object.
bool CWindow::Reflect(const CMessage& message, LRESULT& result)
{
    CWindow* child = FromHandle(ReflectionTarget(message));
    if (child == nullptr || child == this)
        return false;
    CMessage reflected{kReflectedBase + message.message, message.wParam, message.lParam};
    const CMessage* outer = child->currentMessage;
    child->currentMessage = &reflected;
    const bool handled = child->FindHandler(reflected, result);
    child->currentMessage = outer;
    return handled;
}

LRESULT CWindow::Default()
{
    if (currentMessage == nullptr)
        return 0;
    const CMessage& message = *currentMessage;
    if (message.message >= kReflectedBase)
        return 0;
    LRESULT result = 0;
    if (Reflect(message, result))
        return result;
    return CallPrevious(message);
}

LRESULT CWindow::CallPrevious(const CMessage& message)
{
    if (previousProcedure == nullptr)
        return ::DefWindowProcA(window, message.message, message.wParam, message.lParam);
    return ::CallWindowProcA(previousProcedure, window, message.message, message.wParam, message.lParam);
}
