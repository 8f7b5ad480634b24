#pragma once
// The main window: a fixed dialog-style window with the hotkey panel, the language
// pickers, the transparency slider and the options. Its window procedure only
// dispatches to the named handlers, each inside the guard that turns an exception into
// the general error report.
#include "app/BaseWindow_win.h"
#include "hotkeys/HotKeyManager_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

class TMainForm : public BaseWindow<TMainForm> {
  public:
    TMainForm() = default;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;
    ~TMainForm();

    // Creates the window with all its controls and runs FormCreate; hidden until Show.
    // `owner` is the application window, whose taskbar button stands for the program.
    void Create(HINSTANCE instance, HWND owner = nullptr);
    void Show(int showCommand);
    // Runs `handler` as every event handler runs: an exception ends it and is reported.
    template <class F> void RunGuarded(F&& handler);

    // Controls, named as the window's designers named them.
    HWND GroupBox1 = nullptr, HotKey1 = nullptr, BtnAdd = nullptr;
    HWND GroupBox4 = nullptr, ListBox1 = nullptr, BtnRemove = nullptr, BtnClear = nullptr;
    HWND GroupBox5 = nullptr, wl_srclang = nullptr, wl_trglang = nullptr, SpeedButton1 = nullptr;
    HWND GroupBox6 = nullptr, TrackBar1 = nullptr;
    HWND GroupBox7 = nullptr, CheckBox5 = nullptr, CheckBox6 = nullptr, CheckBox7 = nullptr,
         Button2 = nullptr;
    HWND Label1 = nullptr, Label3 = nullptr, Label4 = nullptr;
    HWND Button3 = nullptr, Button1 = nullptr, BtnExit = nullptr;

    // The service codes of the current source and target languages.
    std::string SrcLangCode;
    std::string TrgLangCode;
    HIMAGELIST ImageList2 = nullptr;
    // The global hotkeys of the program; a press calls HotKeyManager1HotKeyPressed.
    std::unique_ptr<THotKeyManager> HotKeyManager1;

    // Handlers.
    void FormCreate();
    void FormClose();
    void BtnExitClick();
    void wl_srclangChange();
    void wl_trglangChange();
    void wl_srclangDrawItem(const DRAWITEMSTRUCT& item);
    void wl_trglangDrawItem(const DRAWITEMSTRUCT& item);
    void GroupBox5Click();
    void HotKeyManager1HotKeyPressed(std::uint32_t HotKey, std::uint16_t Index);

    // The hotkey panel: every line of ListBox1 is one hotkey HotKeyManager1 holds.
    void AddHotKeyToList(std::uint32_t HotKey);
    void BtnAddClick();
    void BtnRemoveClick();
    void BtnClearClick();

    // The display name at a picker's current position, empty when it has none.
    std::string PickerText(HWND picker) const;

  private:
    friend class BaseWindow<TMainForm>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool Dispatch(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void OnCommand(int id, int notification);
    void CreateControls(HINSTANCE instance);
    void LoadPickers(HINSTANCE instance);
    void DrawLanguageItem(const DRAWITEMSTRUCT& item);
    void DrawSpeedButton(const DRAWITEMSTRUCT& item);

    HFONT formFont_ = nullptr;
    HFONT pickerFont_ = nullptr;
    HIMAGELIST speedButtonGlyph_ = nullptr;
};

void ReportHandlerError(HWND owner, const char* message);

template <class F> void TMainForm::RunGuarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportHandlerError(hwnd_, e.what());
    } catch (...) {
        ReportHandlerError(hwnd_, "Unknown error");
    }
}
