#include "translate/SelectionCaptureAutomation_win.h"

#include "base/SystemError_win.h"
#include "base/WideText_win.h"
#include "translate/CaptureWays.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <stdexcept>
#include <vector>

namespace tervane {

using Microsoft::WRL::ComPtr;

namespace {

// mingw's headers declare only the provider side of UI Automation. The client's classes and
// interfaces are named here by their documented identifiers, and their methods are reached
// by their place in the interface's table as UIAutomationClient.idl declares them
// (IUnknown's three first).
constexpr GUID kClsidAutomation8 = {
    0xe22ad333, 0xb25f, 0x460c, {0x83, 0xd0, 0x05, 0x81, 0x10, 0x73, 0x95, 0xc9}};
constexpr GUID kIidAutomation2 = {
    0x34723aff, 0x0c9d, 0x49d0, {0x98, 0x96, 0x7a, 0xb5, 0x2d, 0xf8, 0xcd, 0x8a}};
constexpr GUID kIidTextPattern = {
    0x32eba289, 0x3583, 0x42c9, {0x9c, 0x59, 0x3b, 0x6d, 0x9a, 0x1e, 0x9b, 0x6a}};
constexpr int kTextPatternId = 10014;

// IUIAutomation: GetFocusedElement is its sixth method; IUIAutomation2 adds its time-outs
// after IUIAutomation's 55.
constexpr int kGetFocusedElement = 8;
constexpr int kPutConnectionTimeout = 61;
constexpr int kPutTransactionTimeout = 63;
// IUIAutomationElement, IUIAutomationTextPattern, IUIAutomationTextRangeArray,
// IUIAutomationTextRange.
constexpr int kGetCurrentPatternAs = 14;
constexpr int kGetSelection = 5;
constexpr int kGetLength = 3;
constexpr int kGetElement = 4;
constexpr int kGetText = 12;

// Half a second to reach the application and half a second for each answer.
constexpr DWORD kConnectionTimeoutMs = 500;
constexpr DWORD kTransactionTimeoutMs = 500;

template <class... Args> HRESULT CallMethod(IUnknown* object, int slot, Args... args) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Args...);
    const Method* table = *reinterpret_cast<const Method* const*>(object);
    return table[slot](object, args...);
}

void Check(HRESULT status, const char* step) {
    if (FAILED(status))
        throw std::runtime_error(std::string(step) + ": " +
                                 SystemErrorText(static_cast<DWORD>(status)));
}

// A BSTR that frees itself.
struct OwnedBstr {
    BSTR text = nullptr;
    OwnedBstr() = default;
    ~OwnedBstr() { SysFreeString(text); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
};

ComPtr<IUnknown> MakeAutomation() {
    ComPtr<IUnknown> automation;
    Check(CoCreateInstance(kClsidAutomation8, nullptr, CLSCTX_INPROC_SERVER, kIidAutomation2,
                           reinterpret_cast<void**>(automation.GetAddressOf())),
          "CUIAutomation8");
    Check(CallMethod(automation.Get(), kPutConnectionTimeout, kConnectionTimeoutMs),
          "ConnectionTimeout");
    Check(CallMethod(automation.Get(), kPutTransactionTimeout, kTransactionTimeoutMs),
          "TransactionTimeout");
    return automation;
}

std::vector<std::string> SelectedRanges(IUnknown* textPattern) {
    ComPtr<IUnknown> ranges;
    Check(CallMethod(textPattern, kGetSelection, ranges.GetAddressOf()), "GetSelection");
    if (!ranges)
        return {};
    int count = 0;
    Check(CallMethod(ranges.Get(), kGetLength, &count), "Length");
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        ComPtr<IUnknown> range;
        Check(CallMethod(ranges.Get(), kGetElement, i, range.GetAddressOf()), "GetElement");
        if (!range)
            continue;
        OwnedBstr text;
        Check(CallMethod(range.Get(), kGetText, -1, &text.text), "GetText");
        texts.push_back(Narrow(std::wstring_view(text.text, SysStringLen(text.text))));
    }
    return texts;
}

} // namespace

std::string ReadAutomationSelection() {
    ComPtr<IUnknown> automation = MakeAutomation();
    ComPtr<IUnknown> element;
    Check(CallMethod(automation.Get(), kGetFocusedElement, element.GetAddressOf()),
          "GetFocusedElement");
    if (!element)
        return {};
    ComPtr<IUnknown> textPattern;
    Check(CallMethod(element.Get(), kGetCurrentPatternAs, kTextPatternId, &kIidTextPattern,
                     reinterpret_cast<void**>(textPattern.GetAddressOf())),
          "TextPattern");
    if (!textPattern)
        return {};
    return JoinSelectedRanges(SelectedRanges(textPattern.Get()));
}

} // namespace tervane
