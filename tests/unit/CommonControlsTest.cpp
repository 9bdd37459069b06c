// The common controls library that the buttons load on first need: from the
// system folder, by its full path, with the two functions they use.
#include "framework/CommonControls.h"
#include "base/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

TEST(CommonControls, ComeFromTheSystemFolderAndRegisterAndTrack)
{
    const HMODULE library = CCommonControls::Module();
    ASSERT_NE(nullptr, library);
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(library, path, MAX_PATH);
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    EXPECT_EQ(0, _strnicmp(path, folder, length)) << path;
    EXPECT_EQ(0, _stricmp(path + length, "\\comctl32.dll")) << path;
    EXPECT_EQ(library, CCommonControls::Module()) << "loaded once";

    EXPECT_TRUE(CCommonControls::RegisterClasses(ICC_BAR_CLASSES));
    WNDCLASSA tooltipClass{};
    EXPECT_TRUE(::GetClassInfoA(nullptr, TOOLTIPS_CLASSA, &tooltipClass));

    COwnedWindow window(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(window);
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = window.Get();
    EXPECT_TRUE(CCommonControls::TrackMouseEvent(request));
}
