// The window base as other code and other programs meet it: a message the
// program does not handle reaches the window's own procedure whatever its
// number; only a parent's reflection reaches a control's reflected handler;
// letting go of a window leaves a later subclass in place; and a handler
// that throws leaves its message to the default handling.
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "res/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kClassName[] = "SplashWindowFrameworkTest";
constexpr int kChildId = 7;

// A message that the original procedure answers itself, and its answers.
constexpr UINT kProbeMessage = WM_APP + 3;
constexpr LRESULT kOriginalAnswer = 77;
constexpr LRESULT kHandlerAnswer = 42;
// DBG_PRINTEXCEPTION_C: how OutputDebugStringA hands its line to a debugger.
constexpr DWORD kDebugPrintException = 0x40010006;

thread_local std::vector<UINT> originalSaw;
thread_local int laterSaw = 0;
thread_local WNDPROC beforeLater = nullptr;
thread_local std::vector<std::string> debugLines;

// The procedure that the framework subclasses: it notes what reaches it.
LRESULT CALLBACK OriginalProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    originalSaw.push_back(message);
    return message == kProbeMessage ? kOriginalAnswer : ::DefWindowProcA(window, message, wParam, lParam);
}

// Notes this thread's debugger lines as a debugger would get them.
LONG CALLBACK NoteDebugLine(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (record.ExceptionCode == kDebugPrintException && record.NumberParameters >= 2)
        debugLines.emplace_back(reinterpret_cast<const char*>(record.ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

// A subclass that another piece of code adds after the framework's.
LRESULT CALLBACK LaterProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++laterSaw;
    return ::CallWindowProcA(beforeLater, window, message, wParam, lParam);
}

int TimesSeen(UINT message)
{
    return static_cast<int>(std::count(originalSaw.begin(), originalSaw.end(), message));
}

class CDrawnControl : public CWindow {
public:
    int drawn = 0;
    void (*throwNext)() = nullptr;  // called once, by the next handler

    LRESULT OnDrawItem(WPARAM, LPARAM)
    {
        if (const auto thrower = std::exchange(throwNext, nullptr))
            thrower();
        ++drawn;
        return TRUE;
    }

    LRESULT OnProbe(WPARAM wParam, LPARAM lParam) { return OnDrawItem(wParam, lParam) ? kHandlerAnswer : 0; }

    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CDrawnControl, CWindow)
    OnReflected<WM_DRAWITEM, &CDrawnControl::OnDrawItem>(),
    OnMessage<kProbeMessage, &CDrawnControl::OnProbe>(),
END_MESSAGE_MAP(CDrawnControl, CWindow)
// clang-format on

// A dialog whose initialisation asks to be cancelled, then throws.
class CThrowingDialog : public CDialog {
public:
    CThrowingDialog() : CDialog(IDD_LANGUAGE, nullptr) {}
    BOOL OnInitDialog() override
    {
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        throw std::bad_alloc();
    }
};

class WindowFrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &OriginalProcedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassA(&windowClass);
        parent = Make(nullptr);
        child = Make(parent);
        ASSERT_TRUE(parentObject.Attach(parent));
        ASSERT_TRUE(childObject.Attach(child));
        originalSaw.clear();
    }

    void TearDown() override { ::DestroyWindow(parent); }

    static HWND Make(HWND owner)
    {
        return ::CreateWindowExA(0, kClassName, "", owner != nullptr ? WS_CHILD : WS_POPUP, 0, 0, 20, 20, owner,
                                 owner != nullptr ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChildId)) : nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    }

    HWND parent = nullptr;
    HWND child = nullptr;
    CWindow parentObject;
    CDrawnControl childObject;
};

}  // namespace

TEST_F(WindowFrameworkTest, UnhandledMessagesOfEveryNumberReachTheOriginalProcedure)
{
    const UINT registered = ::RegisterWindowMessageA("SplashWindowFrameworkTestMessage");
    // The top of the application range once stood for reflected messages.
    for (const UINT message : {registered, 0xBC00u + WM_DRAWITEM, 0xBFFFu, static_cast<UINT>(WM_APP + 1)}) {
        originalSaw.clear();
        ::SendMessageA(parent, message, 0, 0);
        ::SendMessageA(child, message, 0, 0);
        EXPECT_EQ(2, TimesSeen(message)) << std::hex << message;
    }
    EXPECT_EQ(0, childObject.drawn);
}

TEST_F(WindowFrameworkTest, OnlyAParentsReflectionReachesAReflectedHandler)
{
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = kChildId;
    draw.hwndItem = child;
    EXPECT_EQ(TRUE, ::SendMessageA(parent, WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(1, childObject.drawn);
    EXPECT_EQ(0, TimesSeen(WM_DRAWITEM)) << "the control drew itself";

    // Sent to the control itself, the message is the control's own, with
    // or without a structure.
    ::SendMessageA(child, WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&draw));
    ::SendMessageA(child, WM_DRAWITEM, 0, 0);
    EXPECT_EQ(1, childObject.drawn);
    EXPECT_EQ(2, TimesSeen(WM_DRAWITEM));

    // A parent reflects only to its own children.
    const HWND stranger = Make(nullptr);
    CDrawnControl strangerObject;
    ASSERT_TRUE(strangerObject.Attach(stranger));
    draw.hwndItem = stranger;
    ::SendMessageA(parent, WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(0, strangerObject.drawn);
    ::DestroyWindow(stranger);
}

TEST_F(WindowFrameworkTest, LettingGoKeepsALaterSubclassAndRestoresOnlyWhenOnTop)
{
    const HWND window = Make(nullptr);
    {
        CWindow object;
        ASSERT_TRUE(object.Attach(window));
        beforeLater = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProcedure)));
    }
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&LaterProcedure), ::GetWindowLongPtrA(window, GWLP_WNDPROC));
    laterSaw = 0;
    originalSaw.clear();
    ::SendMessageA(window, WM_APP + 7, 0, 0);
    EXPECT_EQ(1, laterSaw);
    EXPECT_EQ(1, TimesSeen(WM_APP + 7)) << "the chain still reaches the original procedure";
    ::DestroyWindow(window);

    const HWND plain = Make(nullptr);
    {
        CWindow object;
        ASSERT_TRUE(object.Attach(plain));
    }
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&OriginalProcedure), ::GetWindowLongPtrA(plain, GWLP_WNDPROC));
    ::DestroyWindow(plain);
}

TEST_F(WindowFrameworkTest, AThrowingHandlerLeavesItsMessageToTheDefaultAndTheNextIsHandled)
{
    const PVOID watcher = ::AddVectoredExceptionHandler(1, &NoteDebugLine);
    DRAWITEMSTRUCT draw{};
    draw.hwndItem = child;
    const struct {
        void (*thrower)();
        const char* reported;
    } rows[] = {{[] { throw std::bad_alloc(); }, "(std::bad_alloc)"}, {[] { throw 7; }, "(of no standard type)"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reported);
        debugLines.clear();
        originalSaw.clear();
        childObject.throwNext = row.thrower;
        EXPECT_EQ(kOriginalAnswer, ::SendMessageA(child, kProbeMessage, 0, 0));
        EXPECT_EQ(kHandlerAnswer, ::SendMessageA(child, kProbeMessage, 0, 0));
        // A reflected handler's throw leaves the message to the parent's own procedure.
        childObject.throwNext = row.thrower;
        ::SendMessageA(parent, WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(TRUE, ::SendMessageA(parent, WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&draw)));
        EXPECT_EQ((std::vector<UINT>{kProbeMessage, WM_DRAWITEM}), originalSaw);
        ASSERT_EQ(2u, debugLines.size());
        EXPECT_NE(std::string::npos,
                  debugLines[1].find("0x002B: an exception left its handler " + std::string(row.reported)));
    }
    EXPECT_EQ(4, childObject.drawn);

    CThrowingDialog dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModal()) << "the dialog runs on";
    EXPECT_EQ("Message 0x0110: an exception left its handler (std::bad_alloc); the message had its default handling\n",
              debugLines.back());
    ::RemoveVectoredExceptionHandler(watcher);
}
