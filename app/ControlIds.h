#pragma once
// Identifiers of the main window's controls and of its private messages.
enum ControlId : int {
    IDC_GROUPBOX1 = 1000,
    IDC_HOTKEY1,
    IDC_BTNADD,
    IDC_GROUPBOX4,
    IDC_LISTBOX1,
    IDC_BTNREMOVE,
    IDC_BTNCLEAR,
    IDC_GROUPBOX5,
    IDC_SRCLANG,
    IDC_TRGLANG,
    IDC_SPEEDBUTTON1,
    IDC_GROUPBOX6,
    IDC_TRACKBAR1,
    IDC_GROUPBOX7,
    IDC_CHECKBOX5,
    IDC_CHECKBOX6,
    IDC_CHECKBOX7,
    IDC_BUTTON2,
    IDC_LABEL1,
    IDC_LABEL3,
    IDC_LABEL4,
    IDC_BUTTON3,
    IDC_BUTTON1,
    IDC_BTNEXIT,
};

// Sent by the "Language" group to the main window when the group itself was clicked.
inline constexpr unsigned WM_GROUPBOX5CLICK = 0x8000 /* WM_APP */ + 1;
