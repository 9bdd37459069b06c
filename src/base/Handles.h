// Move-only owners for every kind of handle the program makes, so that no
// handle is ever released by hand.
#pragma once

#include <windows.h>

#include <utility>

// Owns one handle and releases it through its traits when it goes away.
template <typename Traits>
class CUniqueHandle {
public:
    using Handle = typename Traits::Handle;

    CUniqueHandle() noexcept : handle(Traits::Invalid()) {}
    explicit CUniqueHandle(Handle owned) noexcept : handle(owned) {}
    ~CUniqueHandle() { Reset(); }

    CUniqueHandle(CUniqueHandle&& other) noexcept : handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Handle Get() const noexcept { return handle; }
    bool IsValid() const noexcept { return handle != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership without releasing.
    Handle Release() noexcept { return std::exchange(handle, Traits::Invalid()); }

    // Releases the current handle, if any, and takes the new one.
    void Reset(Handle owned = Traits::Invalid()) noexcept
    {
        Handle previous = std::exchange(handle, owned);
        if (previous != Traits::Invalid())
            Traits::Close(previous);
    }

private:
    Handle handle;
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static T Invalid() noexcept { return nullptr; }
    static void Close(T object) noexcept { ::DeleteObject(object); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static HDC Invalid() noexcept { return nullptr; }
    static void Close(HDC dc) noexcept { ::DeleteDC(dc); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static HKEY Invalid() noexcept { return nullptr; }
    static void Close(HKEY key) noexcept { ::RegCloseKey(key); }
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return nullptr; }
    static void Close(HANDLE object) noexcept { ::CloseHandle(object); }
};

// A mutex that this thread has acquired: given up, then closed. Closing
// alone would keep it owned until the thread ends.
struct HeldMutexTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return nullptr; }
    static void Close(HANDLE mutex) noexcept
    {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE find) noexcept { ::FindClose(find); }
};

struct LibraryTraits {
    using Handle = HMODULE;
    static HMODULE Invalid() noexcept { return nullptr; }
    static void Close(HMODULE library) noexcept { ::FreeLibrary(library); }
};

struct OwnedWindowTraits {
    using Handle = HWND;
    static HWND Invalid() noexcept { return nullptr; }
    static void Close(HWND window) noexcept { ::DestroyWindow(window); }
};

// The owners are named COwned...: a parameter or field of one of these types
// owns its handle and releases it. A borrowed handle is passed as the plain
// Win32 type (HBITMAP, HKEY, ...) and never released by its borrower.
using COwnedBitmap = CUniqueHandle<GdiObjectTraits<HBITMAP>>;
using COwnedBrush = CUniqueHandle<GdiObjectTraits<HBRUSH>>;
using COwnedFont = CUniqueHandle<GdiObjectTraits<HFONT>>;
using COwnedRegion = CUniqueHandle<GdiObjectTraits<HRGN>>;
using COwnedMemoryDc = CUniqueHandle<MemoryDcTraits>;
using COwnedKey = CUniqueHandle<RegistryKeyTraits>;
using COwnedKernelHandle = CUniqueHandle<KernelHandleTraits>;
using COwnedHeldMutex = CUniqueHandle<HeldMutexTraits>;
using COwnedFind = CUniqueHandle<FindHandleTraits>;
using COwnedLibrary = CUniqueHandle<LibraryTraits>;
using COwnedWindow = CUniqueHandle<OwnedWindowTraits>;

// Selects an object into a device context and puts the previous one back
// when the scope ends.
class CSelectedObject {
public:
    CSelectedObject(HDC dc, HGDIOBJ object) noexcept : dc(dc), previous(::SelectObject(dc, object)) {}
    ~CSelectedObject()
    {
        if (previous != nullptr && previous != HGDI_ERROR)
            ::SelectObject(dc, previous);
    }
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

// A device context borrowed from a window (or the screen) for one scope.
class CWindowDc {
public:
    explicit CWindowDc(HWND window) noexcept : window(window), dc(::GetDC(window)) {}
    ~CWindowDc()
    {
        if (dc != nullptr)
            ::ReleaseDC(window, dc);
    }
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;

    HDC Get() const noexcept { return dc; }

private:
    HWND window;
    HDC dc;
};

// The device context of one WM_PAINT, begun and ended with the scope.
class CPaintDc {
public:
    explicit CPaintDc(HWND window) noexcept : window(window), paint{} { dc = ::BeginPaint(window, &paint); }
    ~CPaintDc() { ::EndPaint(window, &paint); }
    CPaintDc(const CPaintDc&) = delete;
    CPaintDc& operator=(const CPaintDc&) = delete;

    HDC Get() const noexcept { return dc; }

private:
    HWND window;
    PAINTSTRUCT paint;
    HDC dc;
};
