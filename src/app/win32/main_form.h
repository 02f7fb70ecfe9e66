// TMainForm: the main window. It owns the monitor (settings, catalogue,
// refresh cycle), forwards its timer and messages to it and shows the drives.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "app/monitor.h"
#include "notify/win32/notify_hub.h"

namespace app::win32 {

class TMainForm : public MonitorHost {
  public:
    explicit TMainForm(MonitorServices services);
    ~TMainForm() override;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // Creates the window (FormCreate) and shows it (FormShow).
    bool Create();
    void Show();
    HWND Handle() const { return hwnd_; }
    HWND List() const { return lvDisks_; }
    Monitor& Model() { return monitor_; }
    notify::win32::NotifyHub& Notify() { return *notify_; }

    // Turns the one-second timer off, for tests that drive the cycle themselves.
    void StopTimer();

    // MonitorHost
    void PostToSelf(int message, intptr_t lParam) override;
    void RowsRebuilt() override;
    void CellChanged(int row, int column) override;
    void RowChanged(int row) override;
    void LabelsChanged() override {}
    void CatalogueRebuilt() override;
    void TrayDiskChanged(int) override {}
    disks::TGetRemote::Deliver RemoteDeliver() override;

    // Routes a message of a "TMainForm" window to its object.
    static LRESULT Dispatch(HWND h, UINT msg, WPARAM w, LPARAM l);

  private:
    LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
    os::Registry& Registry();
    void FormCreate();
    void FormShow();
    void OnClose();
    void SaveSettings();
    void BuildColumns();
    void FitWindowToList();
    void ShowAndRaise();
    void ApplyStayOnTop();
    int ListColumnOf(int column) const;  // list column showing a monitor column, or -1

    Monitor monitor_;
    std::unique_ptr<notify::win32::NotifyHub> notify_;  // conditions and their delivery
    HWND hwnd_ = nullptr;
    HWND lvDisks_ = nullptr;
    HIMAGELIST ilMain_ = nullptr;
    bool restart_ = false;
    bool firstShowDone_ = false;
    bool shown_ = false;
};

// Registers the window class "TMainForm".
bool RegisterMainFormClass();

}  // namespace app::win32
