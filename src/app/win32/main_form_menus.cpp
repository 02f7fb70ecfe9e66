// The main window's two menus: creating them, bringing their marks and
// captions up to date, and the one handler behind each pair of twin items.
#include "app/win32/main_form.h"

#include "app/main_messages.h"
#include "app/win32/program.h"
#include "common/text.h"
#include "disks/format.h"
#include "intl/messages.h"
#include "os/clock.h"
#include "os/win32/wide.h"

namespace app::win32 {

using views::Command;
using views::MenuItem;

namespace {

constexpr UINT kFirstMenuId = 1000;

// Commands whose windows are not part of the program yet: present in both
// menus, disabled until they land.
constexpr Command kNotYet[] = {
    Command::ScanChanges,
    Command::ScanDuplicates,
    Command::ScanFreeSpace,
    Command::ReportChanges,
    Command::ReportDuplicates,
    Command::ReportFreeSpace,
    Command::NotificationAdd,
    Command::NotificationEdit,
    Command::HideToTray,
    Command::Help,
    Command::ShowTips,
    Command::ShowTutorial,
    Command::About,
    Command::Options,
};

bool LayeredWindowsAvailable() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 && GetProcAddress(user32, "SetLayeredWindowAttributes");
}

// The report files, the scan that writes each and its caption.
struct LatestReport {
    Command command;
    const char* file;
    const char* scanCaption;
};
constexpr LatestReport kLatest[] = {
    {Command::ReportFreeSpace, "Search.txt", "&Free disk space"},
    {Command::ReportChanges, "Changes.txt", "Disk &changes"},
    {Command::ReportDuplicates, "Duplicates.txt", "&Duplicate files"},
};

// Date and time of a file in the user's formats; empty when it cannot be read.
std::string FileDateText(const std::string& path, const os::LocaleFormats& locale) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(os::win32::Wide(path).c_str(), GetFileExInfoStandard, &data))
        return "";
    int64_t ft = (static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                 data.ftLastWriteTime.dwLowDateTime;
    return disks::DateTimeText(os::LocalTimeFromFileTime(ft), locale);
}

}  // namespace

void TMainForm::CreateMenus() {
    if (!menus_.pmMain) {
        const Options& o = monitor_.options;
        menus_ = views::BuildMainMenus(*this, o.StayOnTopShortCut, o.HideToTrayShortCut);
        for (Command c : kNotYet) SetEnabled(c, false);
        // The user's tools come with the tools editor; until then the
        // submenu is there and empty.
        menus_.pmiTools->SetEnabled(false);
    }
    popup_ = std::make_unique<ui::MenuRenderer>(*menus_.pmMain, false, menus_.all, kFirstMenuId);
    menuBar_ = std::make_unique<ui::MenuRenderer>(*menus_.MainMenu, true, menus_.all, kFirstMenuId);
    if (!Sticker()) {
        SetMenu(hwnd_, menuBar_->Handle());
        menuBar_->AttachTo(hwnd_);
    }
}

void TMainForm::SetChecked(Command c, bool on) {
    for (MenuItem* m : menus_.ItemsOf(c)) m->SetChecked(on);
}

void TMainForm::SetEnabled(Command c, bool on) {
    for (MenuItem* m : menus_.ItemsOf(c)) m->SetEnabled(on);
}

void TMainForm::UpdateLatestResults() {
    for (const LatestReport& r : kLatest) {
        std::string date = FileDateText(ProgramFolderSlash() + r.file, monitor_.Locale());
        for (MenuItem* m : menus_.ItemsOf(r.command))
            m->SetCaption(views::LatestResultsCaption(r.scanCaption, date));
    }
}

// Both menus show the same state; the pop-up also learns which drive is
// under the mouse.
void TMainForm::PrepareMainPopup() {
    const Options& o = monitor_.options;
    POINT c;
    GetCursorPos(&c);
    HWND over = Sticker() ? hwnd_ : lvDisks_->Handle();
    ScreenToClient(over, &c);
    int row = DriveAtCursor(c);
    hoverDrive_ = row >= 0 ? text::Trim(monitor_.Rows()[row].cells[kColName]) : std::string();
    SetChecked(Command::ColumnLabel, o.ShowLabels);
    SetChecked(Command::ColumnOccuped, o.ShowOccuped);
    SetChecked(Command::ColumnFree, o.ShowFree);
    SetChecked(Command::ColumnTotal, o.ShowTotal);
    SetChecked(Command::ColumnAvailable, o.ShowAvail);
    SetChecked(Command::ColumnPercents, o.ShowPercents);
    UpdateLatestResults();
    SetChecked(Command::StayOnTop, o.StayOnTop);
    for (MenuItem* m : menus_.ItemsOf(Command::StayOnTop)) m->SetShortCut(o.StayOnTopShortCut);
    for (MenuItem* m : menus_.ItemsOf(Command::HideToTray)) m->SetShortCut(o.HideToTrayShortCut);
    bool layered = LayeredWindowsAvailable();
    for (const char* name : {"pmiTransparency", "miTransparency"})
        if (auto* t = dynamic_cast<MenuItem*>(Find(name))) t->SetEnabled(layered);
    if (layered) {
        int level = views::LevelOfOpacity(o.Transparency);
        for (MenuItem* m : menus_.ItemsOf(Command::Transparency)) m->SetChecked(m->Tag() == level);
    }
    SetEnabled(Command::ClickThrough, true);
    SetChecked(Command::ClickThrough, o.ClickThrough);
    std::string hideShow = intl::Msg(IsWindowVisible(hwnd_) || showing_ ? 144 : 145);
    for (MenuItem* m : menus_.ItemsOf(Command::HideToTray)) m->SetCaption(hideShow);
}

void TMainForm::RefreshMainMenu() {
    PrepareMainPopup();
    SetChecked(Command::ViewClassic, !Sticker());
    SetChecked(Command::ViewSticker, Sticker());
}

void TMainForm::PopupAt(POINT screen) {
    if (!popup_) return;
    PrepareMainPopup();
    // The menu closes when the user clicks elsewhere only if we are in front.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(popup_->Handle(), TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr);
    PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void TMainForm::OnCommand(UINT id) {
    MenuItem* item = popup_ ? popup_->ItemOfId(id) : nullptr;
    if (!item && menuBar_) item = menuBar_->ItemOfId(id);
    if (item) Click(*item);
}

void TMainForm::Click(MenuItem& item) {
    if (!item.Enabled()) return;
    switch (Command c = item.GetCommand()) {
        case Command::ColumnLabel:
        case Command::ColumnTotal:
        case Command::ColumnOccuped:
        case Command::ColumnFree:
        case Command::ColumnAvailable:
        case Command::ColumnPercents:
            ColumnSwitch(c);
            break;
        case Command::ViewClassic:
            SwitchView(0);
            break;
        case Command::ViewSticker:
            SwitchView(1);
            break;
        case Command::Transparency:
            mit100Click(item.Tag());
            break;
        case Command::ClickThrough:
            pmiClickthroughClick();
            break;
        case Command::StayOnTop:
            pmiStayOnTopClick();
            break;
        case Command::Exit:
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

bool TMainForm::HandleShortcut(UINT key, bool) {
    bool alt = GetKeyState(VK_MENU) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const char* shortcut = nullptr;
    if (alt && !ctrl && !shift && key == 'X')
        shortcut = "Alt+X";
    else if (!alt && !ctrl && !shift && key == VK_F1)
        shortcut = "F1";
    else if (!alt && !ctrl && !shift && key == VK_F10)
        shortcut = "F10";
    if (!shortcut) return false;
    for (MenuItem* m : menus_.all) {
        if (m->ShortCut() != shortcut || !m->Enabled()) continue;
        Click(*m);
        return true;
    }
    return false;
}

}  // namespace app::win32
