#include "app/BottomPanel_win.h"

#include "app/AboutBox_win.h"
#include "base/AppIdentity.h"

namespace tervane {

void BottomPanel::Create(const PanelBuilder& build) {
    using enum ControlId;
    window_ = build.Window();
    build.Label(SelectTextLabel, "Select text from anywhere on screen, ", 9, 239);
    build.Label(PressHotKeyLabel, "Press the HotKey to translate your selected text.", 9, 256);
    copyrightLabel_ = build.Label(CopyrightLabel, "", 9, 285);
    build.Button(window_, AboutButton, "&About", {240, 275, 65, 23}, WS_GROUP);
    build.Button(window_, MinimizeButton, "&Minimize", {320, 275, 65, 23});
    build.Button(window_, ExitButton, "E&xit", {400, 275, 65, 23});
}

bool BottomPanel::OnCommand(ControlId id, int notification) {
    if (id != ControlId::AboutButton)
        return false;
    if (notification == BN_CLICKED)
        OnAbout();
    return true;
}

void BottomPanel::ShowCopyright() const {
    SetLabelText(copyrightLabel_, CopyrightNotice().c_str());
}

void BottomPanel::OnAbout() {
    AboutBox box;
    box.ShowModal(window_);
}

} // namespace tervane
