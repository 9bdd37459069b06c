// The window base of the framework: an HWND bound to its C++ object, static
// message maps consulted from the derived class to its bases, subclassing of
// template controls and reflection of owner-draw and colour requests.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class CWindow;

// One message on its way through a message map. A reflected message is
// the original message that a parent hands back to the child control it
// concerns (owner drawing, colours); only the reflecting code sets the flag,
// so nothing that arrives at a window can pass for one.
struct CMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool reflected = false;
};

struct CMessageMapEntry {
    UINT message;
    bool reflected;  // the entry takes the reflected form of the message only
    // For WM_COMMAND entries: the control ids from first to last; otherwise 0.
    UINT firstCommandId;
    UINT lastCommandId;
    LRESULT (*handler)(CWindow& window, const CMessage& message);
};

struct CMessageMap {
    const CMessageMap* base;
    const CMessageMapEntry* entries;
    std::size_t count;
};

namespace messagemap {

template <typename T>
struct MemberOf;
template <typename C, typename R, typename... A>
struct MemberOf<R (C::*)(A...)> {
    using Class = C;
};

template <auto Handler>
LRESULT CallMessageHandler(CWindow& window, const CMessage& message)
{
    using Class = typename MemberOf<decltype(Handler)>::Class;
    return (static_cast<Class&>(window).*Handler)(message.wParam, message.lParam);
}

template <auto Handler>
LRESULT CallCommandHandler(CWindow& window, const CMessage&)
{
    using Class = typename MemberOf<decltype(Handler)>::Class;
    (static_cast<Class&>(window).*Handler)();
    return 0;
}

template <auto Handler>
LRESULT CallCommandRangeHandler(CWindow& window, const CMessage& message)
{
    using Class = typename MemberOf<decltype(Handler)>::Class;
    (static_cast<Class&>(window).*Handler)(LOWORD(message.wParam));
    return 0;
}

}  // namespace messagemap

// A map entry for a message, handled by `LRESULT Class::Handler(WPARAM, LPARAM)`.
template <UINT Message, auto Handler>
constexpr CMessageMapEntry OnMessage()
{
    return {Message, false, 0, 0, &messagemap::CallMessageHandler<Handler>};
}

// A map entry for `Message` as a parent reflects it to this control,
// handled by `LRESULT Class::Handler(WPARAM, LPARAM)`.
template <UINT Message, auto Handler>
constexpr CMessageMapEntry OnReflected()
{
    return {Message, true, 0, 0, &messagemap::CallMessageHandler<Handler>};
}

// A map entry for a click (BN_CLICKED) of control `Id`, handled by `void Class::Handler()`.
template <UINT Id, auto Handler>
constexpr CMessageMapEntry OnCommand()
{
    return {WM_COMMAND, false, Id, Id, &messagemap::CallCommandHandler<Handler>};
}

// A map entry for a click of any control from `First` to `Last`, handled by
// `void Class::Handler(int controlId)`. Entries before it in the map take
// the ids they name first.
template <UINT First, UINT Last, auto Handler>
constexpr CMessageMapEntry OnCommandRange()
{
    static_assert(First <= Last, "an empty range of controls");
    return {WM_COMMAND, false, First, Last, &messagemap::CallCommandRangeHandler<Handler>};
}

// Writes one line to the debugger output naming the exception being
// handled, which left the handler of `message`. Only inside a catch block.
void ReportEscapedException(UINT message) noexcept;

#define DECLARE_MESSAGE_MAP()                                                                                          \
public:                                                                                                                \
    static const CMessageMap messageMap;                                                                               \
    const CMessageMap& GetMessageMap() const override;                                                                 \
                                                                                                                       \
private:                                                                                                               \
    static const CMessageMapEntry messageEntries[];

#define BEGIN_MESSAGE_MAP(Class, Base)                                                                                 \
    const CMessageMap& Class::GetMessageMap() const                                                                    \
    {                                                                                                                  \
        return messageMap;                                                                                             \
    }                                                                                                                  \
    const CMessageMapEntry Class::messageEntries[] = {
#define END_MESSAGE_MAP(Class, Base)                                                                                   \
    }                                                                                                                  \
    ;                                                                                                                  \
    const CMessageMap Class::messageMap                                                                                \
        = {&Base::messageMap, Class::messageEntries, sizeof(Class::messageEntries) / sizeof(CMessageMapEntry)};

class CWindow {
public:
    CWindow() = default;
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    HWND GetHandle() const noexcept { return window; }

    // The object bound to a window, or null for a window the program does not own.
    static CWindow* FromHandle(HWND window) noexcept;

    // Binds an existing window (a control of a dialog template) to this object
    // by subclassing it.
    bool Attach(HWND existing);

    // Gives the object a first look at a message from the program's message
    // loop before it is translated and dispatched; true swallows it.
    virtual bool PreTranslateMessage(MSG& message);

    // What a screen reader reads as the window's description beyond its
    // text and state (see AnswerAccessibleObject); none by default.
    virtual std::wstring AccessibleDescription() const { return std::wstring(); }

    static const CMessageMap messageMap;
    virtual const CMessageMap& GetMessageMap() const;

protected:
    // The platform's own handling of the message being dispatched.
    LRESULT Default();
    // The message being dispatched, for handlers shared by several messages.
    UINT GetCurrentMessageId() const noexcept { return currentMessage != nullptr ? currentMessage->message : 0; }
    bool CurrentMessageIsReflected() const noexcept { return currentMessage != nullptr && currentMessage->reflected; }

    // Binds this object to `handle` and routes its messages through the maps.
    void Subclass(HWND handle);

    HWND window = nullptr;

private:
    static LRESULT CALLBACK WindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(const CMessage& message);
    bool FindHandler(const CMessage& message, LRESULT& result);
    bool FindHandlerGuarded(const CMessage& message, LRESULT& result) noexcept;
    bool Reflect(const CMessage& message, LRESULT& result);
    LRESULT CallPrevious(const CMessage& message);
    void Detach() noexcept;

    WNDPROC previousProcedure = nullptr;
    const CMessage* currentMessage = nullptr;
};

// A window that its object made and destroys, when told to or at the latest
// when the object goes. Bound like any other window, so that one destroyed
// first by its owner is let go and never destroyed twice.
class CMadeWindow : public CWindow {
public:
    CMadeWindow() = default;
    ~CMadeWindow() override { Destroy(); }

    void Destroy() noexcept
    {
        if (const HWND made = GetHandle())
            ::DestroyWindow(made);
    }
};
