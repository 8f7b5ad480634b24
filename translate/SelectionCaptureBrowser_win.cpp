#include "translate/SelectionCaptureBrowser_win.h"

#include "base/SystemError_win.h"
#include "base/WideText_win.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>

namespace tervane {

using Microsoft::WRL::ComPtr;

namespace {

void Check(HRESULT status, const char* what) {
    if (FAILED(status))
        throw std::runtime_error(std::string(what) + ": " +
                                 SystemErrorText(static_cast<DWORD>(status)));
}

// A VARIANT that clears itself.
struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

// Late-bound call of `name` on `object` with no arguments: a property read or, with
// DISPATCH_METHOD, a method call.
void Invoke(IDispatch* object, const wchar_t* name, WORD kind, Variant& result) {
    const std::string what = Narrow(name);
    if (!object)
        throw std::runtime_error(what + ": no object to ask");
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    Check(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), what.c_str());
    DISPPARAMS none{};
    EXCEPINFO exception{};
    const HRESULT status = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &none, &result,
                                          &exception, nullptr);
    // An object's own failure comes with its description; keep that, free the rest.
    const std::string description =
        exception.bstrDescription ? Narrow(exception.bstrDescription) : std::string();
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (status == DISP_E_EXCEPTION && !description.empty())
        throw std::runtime_error(what + ": " + description);
    Check(status, what.c_str());
}

ComPtr<IDispatch> DispatchOf(IDispatch* object, const wchar_t* name, WORD kind) {
    Variant result;
    Invoke(object, name, kind, result);
    Check(VariantChangeType(&result, &result, 0, VT_DISPATCH), Narrow(name).c_str());
    return ComPtr<IDispatch>(result.pdispVal);
}

std::string TextOf(IDispatch* object, const wchar_t* name) {
    Variant result;
    Invoke(object, name, DISPATCH_PROPERTYGET, result);
    Check(VariantChangeType(&result, &result, 0, VT_BSTR), Narrow(name).c_str());
    return Narrow(std::wstring_view(result.bstrVal, SysStringLen(result.bstrVal)));
}

ComPtr<IDispatch> ItemAt(IShellWindows* windows, long index) {
    Variant position;
    position.vt = VT_I4;
    position.lVal = index;
    ComPtr<IDispatch> item;
    Check(windows->Item(position, &item), "Item");
    if (!item)
        throw std::runtime_error("Item: no browser window at " + std::to_string(index));
    return item;
}

} // namespace

std::string ReadBrowserSelection() {
    HWND frame = FindWindowW(L"IEFrame", nullptr);
    // No browser frame: no window in the collection can match, so it isn't asked at all.
    if (!frame)
        return {};

    ComPtr<IShellWindows> windows;
    Check(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&windows)),
          "ShellWindows");
    long count = 0;
    Check(windows->get_Count(&count), "Count");
    for (long i = count - 1; i >= 0; --i) {
        ComPtr<IWebBrowser2> browser;
        Check(ItemAt(windows.Get(), i).As(&browser), "IWebBrowser2");
        SHANDLE_PTR handle = 0;
        Check(browser->get_HWND(&handle), "HWND");
        if (reinterpret_cast<HWND>(handle) != frame)
            continue;

        ComPtr<IDispatch> item = ItemAt(windows.Get(), i);
        ComPtr<IDispatch> document = DispatchOf(item.Get(), L"Document", DISPATCH_PROPERTYGET);
        ComPtr<IDispatch> selection =
            DispatchOf(document.Get(), L"Selection", DISPATCH_PROPERTYGET);
        ComPtr<IDispatch> range =
            DispatchOf(selection.Get(), L"createRange", DISPATCH_METHOD | DISPATCH_PROPERTYGET);
        return TextOf(range.Get(), L"Text");
    }
    return {};
}

} // namespace tervane
