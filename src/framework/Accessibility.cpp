#include "Accessibility.h"

#include "Window.h"
#include "base/Handles.h"
#include "system/SystemLibrary.h"

#include <oleacc.h>

#include <new>
#include <string>

namespace {

using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using SysAllocStringLenFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);

// The libraries a screen reader's request needs, loaded at the first one
// and kept: COM stays initialised on the window's thread from then on.
struct CAccessibilityLibraries {
    COwnedLibrary ole32 = LoadSystemLibrary("ole32.dll");
    COwnedLibrary oleaut32 = LoadSystemLibrary("oleaut32.dll");
    COwnedLibrary oleacc = LoadSystemLibrary("oleacc.dll");
    CreateStdAccessibleObjectFunction createStandardObject
        = LibraryFunction<CreateStdAccessibleObjectFunction>(oleacc.Get(), "CreateStdAccessibleObject");
    LresultFromObjectFunction resultFromObject
        = LibraryFunction<LresultFromObjectFunction>(oleacc.Get(), "LresultFromObject");
    SysAllocStringLenFunction allocateString
        = LibraryFunction<SysAllocStringLenFunction>(oleaut32.Get(), "SysAllocStringLen");
    bool comReady = false;

    CAccessibilityLibraries()
    {
        const auto initialise = LibraryFunction<CoInitializeExFunction>(ole32.Get(), "CoInitializeEx");
        // A thread whose COM runs already in another model keeps it and serves all the same.
        const HRESULT initialised = initialise != nullptr ? initialise(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
        comReady = SUCCEEDED(initialised) || initialised == RPC_E_CHANGED_MODE;
    }

    bool Usable() const { return comReady && createStandardObject && resultFromObject && allocateString; }
};

CAccessibilityLibraries& Libraries()
{
    static CAccessibilityLibraries libraries;
    return libraries;
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard accessible object of a window, with the description its
// object gives at the moment it is asked: the texts change with the
// language and the state, and the window may go before a reader lets go.
class CDescribedAccessible final : public IAccessible {
public:
    CDescribedAccessible(HWND window, IAccessible* standard) noexcept : window(window), standard(standard) {}

    // IUnknown: the interfaces of the standard object beyond these are its own.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return standard->QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = ::InterlockedDecrement(&references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override
    {
        const CWindow* object = IsSelf(child) ? CWindow::FromHandle(window) : nullptr;
        const std::wstring text = object != nullptr ? object->AccessibleDescription() : std::wstring();
        if (text.empty() || description == nullptr)
            return standard->get_accDescription(child, description);
        *description = Libraries().allocateString(text.c_str(), static_cast<UINT>(text.size()));
        return *description != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // Everything else is the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        return standard->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override
    {
        return standard->Invoke(member, id, locale, flags, parameters, result, exception, argumentError);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        return standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        return standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        return standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override
    {
        return standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return standard->put_accValue(child, value);
    }

private:
    ~CDescribedAccessible() { standard->Release(); }

    LONG references = 1;
    HWND window;
    IAccessible* standard;
};

}  // namespace

bool AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& answer)
{
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || CWindow::FromHandle(window) == nullptr)
        return false;
    const CAccessibilityLibraries& libraries = Libraries();
    if (!libraries.Usable())
        return false;
    IAccessible* standard = nullptr;
    if (FAILED(libraries.createStandardObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&standard)))
        || standard == nullptr)
        return false;
    auto* described = new (std::nothrow) CDescribedAccessible(window, standard);
    if (described == nullptr) {
        standard->Release();
        return false;
    }
    answer = libraries.resultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(described));
    described->Release();
    return answer > 0;
}
