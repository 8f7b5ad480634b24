// Entry point of every Windows test executable: common controls for the real controls,
// a single-threaded COM apartment as the program has, then GoogleTest. The tests share one
// Wine prefix: each executable starts, and leaves the prefix, without stored settings.
#include "WineTestSupport.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <objbase.h>

using namespace tervane;

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    testing::InitGoogleTest(&argc, argv);
    ForgetSettings();
    int rc = RUN_ALL_TESTS();
    ForgetSettings();
    CoUninitialize();
    return rc;
}
