// TfrmClickThruConfirm: the warning shown before click-through mode starts.
#pragma once
#include <windows.h>

#include <functional>

#include "ui/controls.h"
#include "ui/window.h"
#include "views/forms/form_model.h"
#include "views/geometry.h"

namespace views::win32 {

class TfrmClickThruConfirm : public ui::Window, public forms::Form {
  public:
    TfrmClickThruConfirm();
    ~TfrmClickThruConfirm() override;

    // Shows the dialog modally near the screen's bottom-right corner, clear
    // of the main window. True when OK was pressed.
    bool ShowModal(HWND owner);
    bool AlwaysShow() const { return alwaysShow_; }

    // Called once the dialog is on screen (tests press its buttons from here).
    std::function<void(TfrmClickThruConfirm&)> onShown;
    ui::Button& OK() { return *btnOK_; }
    ui::Button& Cancel() { return *btnCancel_; }
    ui::CheckBox& ShowAgain() { return *cbShowAgain_; }

  protected:
    LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
    void CaptionChanged() override;

  private:
    void Layout(HWND owner);
    void End(bool ok);

    ui::Plain* imgWarning_;
    ui::Label* lblWarning_;
    ui::CheckBox* cbShowAgain_;
    ui::Button* btnOK_;
    ui::Button* btnCancel_;
    HFONT font_ = nullptr;
    bool done_ = false;
    bool ok_ = false;
    bool alwaysShow_ = true;
    int dpi_ = 96;
};

}  // namespace views::win32
