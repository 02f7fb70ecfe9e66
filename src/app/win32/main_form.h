// TMainForm: the main window and hub. It owns the monitor (settings,
// catalogue, refresh cycle), forwards its timer and messages to it and shows
// the drives in the classic list or as a sticker. Its work is split by
// responsibility over main_form.cpp (creation, showing, closing, message
// dispatch), main_form_views.cpp (columns, both views, placement),
// main_form_menus.cpp (the two menus and their commands) and
// main_form_transparency.cpp (opacity, hover fade, click-through).
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/monitor.h"
#include "notify/win32/notify_hub.h"
#include "ui/menu_renderer.h"
#include "views/columns.h"
#include "views/forms/form_model.h"
#include "views/menu_model.h"
#include "views/sticker.h"
#include "views/transparency.h"
#include "views/win32/click_thru_confirm.h"
#include "views/win32/ctrl_form.h"
#include "views/win32/disk_list.h"
#include "views/win32/gdi_canvas.h"

namespace app::win32 {

class TMainForm : public forms::Form, public MonitorHost {
  public:
    explicit TMainForm(MonitorServices services);
    ~TMainForm() override;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Creates the window (FormCreate) and shows it (FormShow).
    bool Create();
    void Show();
    HWND Handle() const { return hwnd_; }
    HWND List() const { return lvDisks_->Handle(); }
    Monitor& Model() { return monitor_; }
    notify::win32::NotifyHub& Notify() { return *notify_; }
    views::win32::TDiskList& DiskList() { return *lvDisks_; }
    const views::MainMenus& Menus() const { return menus_; }
    views::win32::TCtrlForm* CtrlForm() { return ctrlForm_.get(); }
    HMENU PopupMenu() const { return popup_ ? popup_->Handle() : nullptr; }
    bool Sticker() const { return monitor_.options.ViewMode == 1; }
    int Dpi() const { return dpi_; }
    const views::StickerMetrics& StickerLayout() const { return sticker_; }
    const std::array<bool, kColumnCount>& AutomaticWidths() const { return autoWidth_; }
    // The drive under the mouse when the pop-up menu opened; tools get it.
    const std::string& HoverDrive() const { return hoverDrive_; }

    // Turns the one-second timer off, for tests that drive the cycle themselves.
    void StopTimer();
    // A click on a menu item (either menu), as the menus deliver it.
    void Click(views::MenuItem& item);
    // The warning dialog, once on screen (tests answer it from here).
    std::function<void(views::win32::TfrmClickThruConfirm&)> onConfirmShown;

    // MonitorHost
    void PostToSelf(int message, intptr_t lParam) override;
    void RowsRebuilt() override;
    void CellChanged(int row, int column) override;
    void RowChanged(int row) override;
    void LabelsChanged() override;
    void CatalogueRebuilt() override;
    void TrayDiskChanged(int) override {}
    disks::TGetRemote::Deliver RemoteDeliver() override;

    // Routes a message of a "TMainForm" window to its object.
    static LRESULT Dispatch(HWND h, UINT msg, WPARAM w, LPARAM l);

  private:
    static constexpr UINT_PTR kUpdateTimer = 1;        // tmUpdate
    static constexpr UINT_PTR kTransparencyTimer = 2;  // tmTransparency

    // main_form.cpp: the hub
    LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
    bool CreateHandle();
    void FormCreate();
    void FormShow();
    void OnClose();
    void SaveSettings();
    void ShowAndRaise();
    void ApplyStayOnTop();
    void RecreateWindow();
    os::Registry& Registry();

    // main_form_views.cpp: columns, both views, placement
    void CreateList();
    void ResetMeasures();
    int TextWidthInView(std::string_view text);
    int MinimumWindowWidth();
    void RebuildColumns();
    void UpdateRows();
    void ApplyViewMode();
    void SetViewSize();
    void ComputeStickerLayout();
    void PaintSticker(HDC dc);
    void OnPaint();
    bool DrawPercentCell(HDC dc, const RECT& bounds, int row);
    void ColumnSwitch(views::Command c);
    void SetShown(views::Command c, bool on);
    void lvDisksColumnClick(int listIndex);
    void OnColumnResized();
    void SwitchView(int mode);
    void pmiStayOnTopClick();
    void RelayoutSticker();
    void StickerMouse(UINT msg, POINT client);
    LRESULT OnMoving(RECT* r);
    void RefreshGrabOffset();
    int DriveAtCursor(POINT client);
    std::vector<std::string> MonitoredNames();
    std::vector<std::string> MonitoredLabels();
    views::Rect WindowRect() const;
    views::Rect MonitorRect() const;

    // main_form_menus.cpp: the two menus
    void CreateMenus();
    void PrepareMainPopup();
    void RefreshMainMenu();
    void PopupAt(POINT screen);
    void OnCommand(UINT id);
    void SetChecked(views::Command c, bool on);
    void SetEnabled(views::Command c, bool on);
    bool HandleShortcut(UINT key, bool alt);
    void UpdateLatestResults();

    // main_form_transparency.cpp: opacity, fade, click-through
    void ApplyOpacity(int opacity);
    void HoverFadeStart();
    void TransparencyTick();
    void mit100Click(int tag);
    void SetClickThrough(bool on);
    bool ConfirmClickThrough();
    void pmiClickthroughClick();
    int ClickThroughInset() const;
    void CreateCtrlForm();
    void GrabFromHandle();

    Monitor monitor_;
    std::unique_ptr<notify::win32::NotifyHub> notify_;  // conditions and their delivery
    HWND hwnd_ = nullptr;
    // Where the network worker sends its results.
    std::shared_ptr<std::atomic<HWND>> target_ = std::make_shared<std::atomic<HWND>>(nullptr);
    int dpi_ = 96;
    views::win32::TDiskList* lvDisks_ = nullptr;
    HIMAGELIST ilMain_ = nullptr;
    HFONT listFont_ = nullptr;
    views::win32::FontCache fonts_;
    views::MainMenus menus_;
    std::unique_ptr<ui::MenuRenderer> popup_, menuBar_;
    std::unique_ptr<views::win32::TCtrlForm> ctrlForm_;
    views::win32::TfrmClickThruConfirm* confirm_ = nullptr;  // while it is open

    // Columns: the widths that were computed rather than set by the user.
    std::array<bool, kColumnCount> autoWidth_{};
    int minimumWidth_ = -1;  // MinimumWindowWidth, computed when first needed
    views::StickerMetrics sticker_;
    int stickerPercentWidth_ = 0;

    // Drag state of the sticker body and the move handle.
    bool dragging_ = false;
    bool dragMoved_ = false;
    POINT dragOffset_ = {};
    POINT grabOffset_ = {};
    views::HoverFade fade_;
    std::string hoverDrive_;

    bool restart_ = false;
    bool firstShowDone_ = false;
    bool recreating_ = false;
    bool showing_ = false;
};

// Registers the window class "TMainForm".
bool RegisterMainFormClass();

}  // namespace app::win32
