// The settings store with Wine's real registry: what a close writes, what the next start
// shows, a change saved at once and at the session's end, and the two failures (a stored
// value of the wrong type, a refused write).
#include "WineTestSupport.h"
#include "app/MainWindow_win.h"
#include "translate/TranslationLog_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tervane;

namespace {

HKEY OpenStore() {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kSettingsKeyPath).c_str(), 0, KEY_READ, &key);
    return key;
}

// A stored value as the registry holds it: its type, and its number or text.
struct Stored {
    DWORD type = REG_NONE;
    DWORD number = 0;
    std::string text;
};

Stored ReadStored(const wchar_t* name) {
    Stored value;
    HKEY key = OpenStore();
    if (!key)
        return value;
    BYTE data[512] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &value.type, data, &size) == ERROR_SUCCESS) {
        if (value.type == REG_DWORD)
            value.number = *reinterpret_cast<DWORD*>(data);
        else if (value.type == REG_SZ)
            value.text = Narrow(reinterpret_cast<const wchar_t*>(data));
    }
    RegCloseKey(key);
    return value;
}

void StoreValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kSettingsKeyPath).c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void StoreNumber(const wchar_t* name, DWORD number) {
    StoreValue(name, REG_DWORD, &number, sizeof(number));
}

void StoreText(const wchar_t* name, const wchar_t* text) {
    StoreValue(name, REG_SZ, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

// Refuses the write of one value and passes everything else to the real registry.
class RefusingRegistry final : public Registry {
  public:
    std::unique_ptr<RegistryKey> Open(std::string_view path, bool create, bool writable) override {
        auto key = real_.Open(path, create, writable);
        return key ? std::make_unique<Key>(std::move(key)) : nullptr;
    }

  private:
    class Key final : public RegistryKey {
      public:
        explicit Key(std::unique_ptr<RegistryKey> real) : real_(std::move(real)) {}
        std::optional<RegistryValue> Read(std::string_view name) override {
            return real_->Read(name);
        }
        bool WriteString(std::string_view name, std::string_view text) override {
            return real_->WriteString(name, text);
        }
        bool WriteDword(std::string_view name, std::uint32_t number) override {
            return name != "tr" && real_->WriteDword(name, number);
        }

      private:
        std::unique_ptr<RegistryKey> real_;
    };
    WinRegistry real_;
};

class SettingsTest : public testing::Test {
  protected:
    void SetUp() override {
        ForgetSettings();
        hotKeyModule.emplace();
    }
    void TearDown() override {
        form.reset();
        Pump();
        hotKeyModule.reset();
        ForgetSettings();
    }

    // A start of the program: the window made (which loads the settings) and shown.
    void Start(Registry* registry = nullptr) {
        form = registry ? std::make_unique<MainWindow>(hotKeyModule->Codec(), *registry)
                        : std::make_unique<MainWindow>(hotKeyModule->Codec());
        form->Create(GetModuleHandleW(nullptr));
        form->Show(SW_SHOW);
        SetForegroundWindow(form->Handle());
        Pump(form->Handle());
    }
    // "E&xit", as the user clicks it; true when the window is gone.
    bool Exit() {
        HWND main = form->Handle();
        SendMessageW(form->Control(ControlId::ExitButton), BM_CLICK, 0, 0);
        return PumpUntil(nullptr, [&] { return !IsWindow(main); });
    }

    HWND Control(ControlId id) { return form->Control(id); }
    int Position(ControlId picker) {
        return static_cast<int>(SendMessageW(Control(picker), CB_GETCURSEL, 0, 0));
    }
    void Pick(ControlId picker, int position) {
        HWND p = Control(picker);
        SendMessageW(p, CB_SETCURSEL, position, 0);
        SendMessageW(GetParent(p), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(p), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(p));
    }
    int Slider() {
        return static_cast<int>(
            SendMessageW(Control(ControlId::TransparencySlider), TBM_GETPOS, 0, 0));
    }
    bool Checked(ControlId box) {
        return SendMessageW(Control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::vector<std::string> Lines() {
        HWND list = Control(ControlId::HotKeyList);
        std::vector<std::string> lines;
        for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t line[128] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
            lines.push_back(Narrow(line));
        }
        return lines;
    }
    bool Layered() { return GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED; }

    std::unique_ptr<MainWindow> form;
};

TEST_F(SettingsTest, EverySettingSurvivesACloseAndTheNextStart) {
    Start();
    EXPECT_EQ(OpenStore(), nullptr) << "nothing is created at start";

    // Languages, transparency, options and a hotkey, changed as the user changes them; each
    // change is stored at once.
    Pick(ControlId::SourcePicker, 2); // German
    EXPECT_EQ(ReadStored(L"src").number, 2u);
    Pick(ControlId::TargetPicker, 12); // Chinese(T)
    SetFocus(Control(ControlId::TransparencySlider));
    PressKey(VK_HOME); // the most transparent end, 4
    for (int i = 0; i < 4; ++i)
        PressKey(VK_RIGHT);
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return Slider() == 8; }));
    for (ControlId box :
         {ControlId::FreezeBox, ControlId::CopyToClipboardBox, ControlId::LogToFileBox})
        SendMessageW(Control(box), BM_CLICK, 0, 0);
    SendMessageW(Control(ControlId::HotKeyEntry), HKM_SETHOTKEY,
                 MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    SendMessageW(Control(ControlId::AddButton), BM_CLICK, 0, 0);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_TRUE(Exit());
    const std::wstring log = Widen(TranslationLogPath());
    DeleteFileW(log.c_str());

    const Stored src = ReadStored(L"src"), cc = ReadStored(L"cc");
    EXPECT_EQ(src.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(src.number, 2u);
    EXPECT_EQ(ReadStored(L"trg").number, 12u);
    EXPECT_EQ(ReadStored(L"tr").number, 8u);
    EXPECT_EQ(cc.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cc.text, "011");
    EXPECT_EQ(ReadStored(L"Count").number, 2u);
    EXPECT_EQ(ReadStored(L"Key0").text, lines[0]);
    EXPECT_EQ(ReadStored(L"Key1").text, lines[1]);

    Start();
    EXPECT_EQ(Position(ControlId::SourcePicker), 2);
    EXPECT_EQ(Position(ControlId::TargetPicker), 12);
    EXPECT_EQ(form->SourceCode(), "DE");
    EXPECT_EQ(form->TargetCode(), "ZH-TW");
    EXPECT_EQ(Slider(), 8);
    EXPECT_TRUE(Layered()) << "the stored position made the window transparent";
    EXPECT_FALSE(Checked(ControlId::FreezeBox));
    EXPECT_TRUE(Checked(ControlId::CopyToClipboardBox));
    EXPECT_TRUE(Checked(ControlId::LogToFileBox));
    EXPECT_NE(GetFileAttributesW(log.c_str()), INVALID_FILE_ATTRIBUTES)
        << "logging on again: the log made anew with its banner";
    DeleteFileW(log.c_str());
    EXPECT_EQ(Lines(), lines) << "the default hotkey once, then the stored one";
    EXPECT_EQ(form->HotKeys().Registrations().size(), 2u) << "both registered";
}

TEST_F(SettingsTest, WrongTypeStopsTheLoadAndAnInvalidPositionIsKept) {
    StoreNumber(L"src", 60);
    StoreNumber(L"trg", 3);
    StoreText(L"tr", L"8");
    StoreText(L"cc", L"011");
    MessageBoxRecorder boxes;
    Start();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Invalid data type for 'tr'");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "the window opens all the same";
    EXPECT_EQ(Position(ControlId::SourcePicker), -1) << "no such language: an empty picker";
    EXPECT_EQ(form->SourceCode(), "FR");
    EXPECT_EQ(Position(ControlId::TargetPicker), 3);
    EXPECT_EQ(form->TargetCode(), "ES");
    EXPECT_EQ(Slider(), 16);
    EXPECT_TRUE(Checked(ControlId::FreezeBox)) << "nothing after the failing value";

    ASSERT_TRUE(Exit());
    EXPECT_EQ(ReadStored(L"src").number, 60u) << "a picker without a position is not stored";
    EXPECT_EQ(ReadStored(L"tr").type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(SettingsTest, TheEndOfTheSessionSavesWithoutAClose) {
    Start();
    SendMessageW(Control(ControlId::CopyToClipboardBox), BM_CLICK, 0, 0);
    ForgetSettings(); // as if the change had not been saved
    EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(ReadStored(L"cc").text, "110");
    ForgetSettings();
    SendMessageW(form->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(ReadStored(L"Count").number, 1u);
    EXPECT_TRUE(IsWindow(form->Handle()));
}

TEST_F(SettingsTest, RefusedWriteKeepsTheWindowOpen) {
    RefusingRegistry registry;
    MessageBoxRecorder boxes;
    Start(&registry);
    HWND main = form->Handle();
    SendMessageW(Control(ControlId::ExitButton), BM_CLICK, 0, 0);
    Pump(main);
    EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Failed to set data for 'tr'");
    EXPECT_EQ(ReadStored(L"cc").text, "100") << "written before the refused value";
    EXPECT_EQ(ReadStored(L"Count").type, static_cast<DWORD>(REG_NONE)) << "nothing after it";
}

} // namespace
