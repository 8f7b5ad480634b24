// Wine's own notepad and wordpad, other processes with their own edit and rich-edit
// controls, answer the copy command: the capture takes their selection by WM_COPY and sends
// no copy keystroke, whose copy would move the clipboard's sequence number a second time.
#include "translate/Clipboard_win.h"
#include "translate/SelectionCapture_win.h"

#include "CaptureTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace tervane;

namespace {

// How far the clipboard's sequence number moves while `change` runs.
template <class Change> DWORD SequenceMove(Change change) {
    const DWORD before = GetClipboardSequenceNumber();
    change();
    return GetClipboardSequenceNumber() - before;
}

void ExpectCapturedByCopyCommand(const WineProgram& program, const wchar_t* editorClass) {
    ASSERT_TRUE(program.Window());
    HWND editor = program.Child(editorClass);
    ASSERT_TRUE(editor);
    SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Bonjour le monde"));
    SendMessageW(editor, EM_SETSEL, 0, 7);
    ASSERT_TRUE(program.FocusInFront(editor));

    const DWORD perCopy = SequenceMove([&] { SendMessageW(editor, WM_COPY, 0, 0); });
    ASSERT_GT(perCopy, 0u);
    const DWORD perEmpty = SequenceMove([] {
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
    });
    ASSERT_TRUE(PutUserContents(L"what the user copied"));

    CaptureWay way = CaptureWay::None;
    std::string text;
    const DWORD moved = SequenceMove([&] {
        CapturedSelection capture = CaptureSelectedText();
        DetachInput(capture);
        way = capture.way;
        text = capture.capturedText;
        capture.savedClipboard.Discard();
    });
    EXPECT_EQ(way, CaptureWay::CopyMessage);
    EXPECT_EQ(text, "Bonjour");
    // The capture emptied the clipboard and the program copied once: no keystroke followed.
    EXPECT_EQ(moved, perEmpty + perCopy);
}

TEST(CaptureFromWinePrograms, NotepadAndWordpadAnswerTheCopyCommandWithoutAKeystroke) {
    {
        SCOPED_TRACE("notepad");
        WineProgram notepad(L"notepad.exe", L"Notepad");
        ExpectCapturedByCopyCommand(notepad, L"Edit");
    }
    {
        SCOPED_TRACE("wordpad");
        WineProgram wordpad(L"\"%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe\"",
                            L"WORDPADTOP");
        ExpectCapturedByCopyCommand(wordpad, L"RichEdit");
    }
}

} // namespace
