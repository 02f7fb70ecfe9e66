// The main window's views, created in-process with a fake catalogue and read
// back: columns, cells, sizes, header clicks, divider drags, both views,
// click-through and opacity, and a few pixels of what is on the screen.
#include <doctest.h>
#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "app/main_messages.h"
#include "app/win32/main_form.h"
#include "app/win32/program.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_volumes.h"
#include "fakes/window_capture.h"
#include "intl/messages.h"
#include "os/win32/wide.h"
#include "ui/dpi.h"
#include "views/color.h"
#include "views/placement.h"

using namespace std::chrono_literals;
using app::win32::TMainForm;
using fakes::Capture;
using fakes::Near;
using fakes::Pump;
using os::RegRoot;

namespace {

constexpr int64_t GB = 1LL << 30;
const std::string kKey = "Software\\ZelmoraTests\\Views";

struct Views {
    fakes::FakeRegistry reg;
    fakes::FakeVolumes volumes;
    std::unique_ptr<TMainForm> form;

    Views() {
        intl::InstallBuiltInMessages();
        // Three drives: 75 %, 95 % and 25 % used.
        volumes["C:"].type = os::kDriveFixed;
        volumes.SetSpace("C:", 100 * GB, 25 * GB, 25 * GB);
        volumes["D:"].type = os::kDriveFixed;
        volumes.SetSpace("D:", 200 * GB, 10 * GB, 10 * GB);
        volumes["E:"].type = os::kDriveRemovable;
        volumes.SetSpace("E:", 16 * GB, 12 * GB, 12 * GB);
        Set("OnceStarted", 1);
        Set("Left", 200);
        Set("Top", 150);
        Set("ClickThroughWarn", 1);
    }
    void Set(const std::string& name, uint32_t v) {
        reg.WriteDword(RegRoot::CurrentUser, kKey, name, v);
    }
    uint32_t Get(const std::string& name) {
        return reg.ReadDword(RegRoot::CurrentUser, kKey, name).value_or(0xDEADBEEF);
    }
    TMainForm& Make() {
        app::MonitorServices s;
        s.registry = &reg;
        s.volumes = &volumes;
        s.makeWorkerVolumes = [] { return std::make_unique<fakes::FakeVolumes>(); };
        s.keyPath = kKey;
        s.screenWidth = GetSystemMetrics(SM_CXSCREEN);
        form = std::make_unique<TMainForm>(s);
        REQUIRE(form->Create());
        form->StopTimer();
        form->Show();
        Pump(300ms);
        return *form;
    }
    // A second sample with C: filling up and D: emptying: trend arrows.
    void Sample(int64_t cFree, int64_t dFree) {
        volumes.SetSpace("C:", 100 * GB, cFree, cFree);
        volumes.SetSpace("D:", 200 * GB, dFree, dFree);
        PostMessageW(form->Handle(), app::kWmSample, 0, 0);
        Pump(300ms);
    }
    views::MenuItem& Item(const char* name) {
        auto* m = dynamic_cast<views::MenuItem*>(form->Find(name));
        REQUIRE(m);
        return *m;
    }
};

std::string HeaderCaption(HWND list, int column) {
    wchar_t caption[64] = {};
    HDITEMW hd = {};
    hd.mask = HDI_TEXT;
    hd.pszText = caption;
    hd.cchTextMax = 64;
    Header_GetItem(ListView_GetHeader(list), column, &hd);
    return os::win32::Utf8(caption);
}

RECT WindowBox(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
}

bool MenuChecked(HMENU root, UINT id) {
    return (GetMenuState(root, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// A command id of the item, as the rendered menus know it.
UINT IdOf(HMENU menu, const std::wstring& caption) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        std::wstring t = text;
        if (t.substr(0, t.find(L'\t')) == caption) return GetMenuItemID(menu, i);
        if (HMENU sub = GetSubMenu(menu, i))
            if (UINT id = IdOf(sub, caption); id && id != UINT(-1)) return id;
    }
    return 0;
}

}  // namespace

TEST_CASE_FIXTURE(Views, "classic view: columns, widths, cells and window size") {
    TMainForm& f = Make();
    HWND list = f.List();
    REQUIRE(ListView_GetItemCount(list) == 3);
    REQUIRE(Header_GetItemCount(ListView_GetHeader(list)) == 4);
    CHECK(HeaderCaption(list, 0) == "Name");
    CHECK(HeaderCaption(list, 1) == "Capacity (Gb)");
    CHECK(HeaderCaption(list, 2) == "Free (Gb)");
    CHECK(HeaderCaption(list, 3) == "% Used");
    CHECK(f.DiskList().PercentColumnIndex() == 3);
    CHECK(f.DiskList().CellText(1, 1) == "200.00");
    CHECK(f.DiskList().CellText(2, 2) == "12.00");
    CHECK(f.DiskList().CellText(0, 3).empty());  // the bar is drawn

    // Automatic widths are computed once and kept for the next save.
    const app::Options& o = f.Model().options;
    for (int i = 0; i < 4; ++i) {
        CAPTURE(i);
        int kind = f.DiskList().ColumnData()[i].Kind;
        CHECK(ListView_GetColumnWidth(list, i) == o.Column[kind + 2]);
        CHECK(f.DiskList().ColumnData()[i].Width == o.Column[kind + 2]);
    }
    CHECK(o.Column[1] == -1);  // the label column was not shown
    // Capacity and Free share the value width; the name column has its margins.
    CHECK(o.Column[2] == o.Column[4]);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE name = {};
    GetTextExtentPoint32W(dc, L"Name", 4, &name);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    CHECK(o.Column[0] == name.cx + 30);

    // Width: the columns and the frame; height: three rows and two more.
    int dpi = f.Dpi();
    views::Scale s{dpi};
    RECT w = WindowBox(f.Handle());
    int columns = 0;
    for (int i = 0; i < 4; ++i) columns += ListView_GetColumnWidth(list, i);
    CHECK(w.right - w.left >= columns + s(app::win32::ExtraFrame().width));
    RECT r0, r1;
    ListView_GetItemRect(list, 0, &r0, LVIR_BOUNDS);
    ListView_GetItemRect(list, 1, &r1, LVIR_BOUNDS);
    int pitch = r1.bottom - r0.bottom;
    CHECK(w.bottom - w.top == 5 * pitch + ui::MetricFor(SM_CYSMCAPTION, dpi) +
                                  ui::MetricFor(SM_CYMENU, dpi) - s(4) +
                                  s(app::win32::ExtraFrame().height));
    CHECK(GetMenu(f.Handle()) != nullptr);
    CHECK((GetWindowLongPtrW(f.Handle(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION);

    // Rows never take a selection.
    ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    CHECK(ListView_GetSelectedCount(list) == 0);
}

TEST_CASE_FIXTURE(Views, "header clicks: the percent caption and the Capacity/Used swap") {
    TMainForm& f = Make();
    HWND list = f.List();
    auto click = [&](int column) {
        NMLISTVIEW nm = {};
        nm.hdr.hwndFrom = list;
        nm.hdr.idFrom = 1;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iSubItem = column;
        SendMessageW(f.Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&nm));
    };
    click(3);
    CHECK(HeaderCaption(list, 3) == "% Free");
    CHECK_FALSE(f.Model().options.ShowUsedPercents);
    click(0);  // Name: nothing
    CHECK(Header_GetItemCount(ListView_GetHeader(list)) == 4);
    click(1);  // Capacity while Used is hidden: Used instead, both menus follow
    CHECK(HeaderCaption(list, 1) == "Used (Gb)");
    CHECK(f.DiskList().CellText(0, 1) == "75.00");
    CHECK(Item("pmiOccuped").Checked());
    CHECK(Item("miOccuped").Checked());
    CHECK_FALSE(Item("miTotal").Checked());
    click(1);  // and back
    CHECK(HeaderCaption(list, 1) == "Capacity (Gb)");
    // With both shown a click on Capacity does nothing.
    f.Click(Item("pmiOccuped"));
    REQUIRE(Header_GetItemCount(ListView_GetHeader(list)) == 5);
    click(1);
    CHECK(HeaderCaption(list, 1) == "Capacity (Gb)");
    CHECK(HeaderCaption(list, 2) == "Used (Gb)");
}

TEST_CASE_FIXTURE(Views, "a divider drag is stored as that column's width") {
    TMainForm& f = Make();
    HWND list = f.List();
    HWND header = ListView_GetHeader(list);
    int before = ListView_GetColumnWidth(list, 2);
    RECT item;
    Header_GetItemRect(header, 2, &item);
    // Drag the divider at the right end of Free 30 pixels further.
    int x = item.right - 1, y = (item.top + item.bottom) / 2;
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 15, y));
    SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 30, y));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x + 30, y));
    Pump(200ms);
    int after = ListView_GetColumnWidth(list, 2);
    CHECK(after == before + 30);
    CHECK(f.DiskList().ColumnData()[2].Width == after);
    CHECK(f.Model().options.Column[4] == after);  // Free is kind 2, index 4
    CHECK_FALSE(f.AutomaticWidths()[4]);
    int sum = 0;
    for (int i = 0; i < 4; ++i) sum += ListView_GetColumnWidth(list, i);
    RECT w = WindowBox(f.Handle());
    CHECK(w.right - w.left == sum + views::Scale{f.Dpi()}(app::win32::ExtraFrame().width));

    SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    CHECK(Get("Column_4") == static_cast<uint32_t>(after));
    // The next start takes the width as it was left.
    form.reset();
    TMainForm& again = Make();
    CHECK(ListView_GetColumnWidth(again.List(), 2) == after);
}

TEST_CASE_FIXTURE(Views, "column switches from either menu keep both marks and the docking") {
    TMainForm& f = Make();
    HMONITOR mon = MonitorFromWindow(f.Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(mon, &mi);
    RECT w = WindowBox(f.Handle());
    SetWindowPos(f.Handle(), nullptr, mi.rcMonitor.right - (w.right - w.left), w.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UINT id = IdOf(GetMenu(f.Handle()), L"Disk &label");
    REQUIRE(id);
    SendMessageW(f.Handle(), WM_COMMAND, id, 0);  // View > Columns > Disk label
    CHECK(f.Model().options.ShowLabels);
    CHECK(HeaderCaption(f.List(), 1) == "Disk label");
    CHECK(MenuChecked(GetMenu(f.Handle()), id));
    CHECK(Item("pmiLabel").Checked());
    UINT popupId = IdOf(f.PopupMenu(), L"Disk &label");
    CHECK(MenuChecked(f.PopupMenu(), popupId));
    RECT wider = WindowBox(f.Handle());
    CHECK(wider.right - wider.left > w.right - w.left);
    CHECK(wider.right == mi.rcMonitor.right);          // still docked at the right edge
    SendMessageW(f.Handle(), WM_COMMAND, popupId, 0);  // and off again from the pop-up
    CHECK_FALSE(f.Model().options.ShowLabels);
    CHECK_FALSE(MenuChecked(GetMenu(f.Handle()), id));
}

TEST_CASE_FIXTURE(Views, "sticker view: borderless, sized by its rows, painted in its colours") {
    Set("ViewMode", 1);
    Set("UseColors", 1);
    TMainForm& f = Make();
    HWND h = f.Handle();
    CHECK(f.Sticker());
    CHECK((GetWindowLongPtrW(h, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) == 0);
    CHECK(GetMenu(h) == nullptr);
    CHECK_FALSE(IsWindowVisible(f.List()));
    CHECK((GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);  // StayOnTop by default
    const views::StickerMetrics& m = f.StickerLayout();
    CHECK(m.rowHeight > 8);
    CHECK(m.rows == 3);
    RECT w = WindowBox(h);
    CHECK(w.bottom - w.top == 4 * m.rowHeight + views::Scale{f.Dpi()}(7));
    CHECK(w.right - w.left == views::StickerWidth(m));

    Sample(20 * GB, 12 * GB);  // C: fills up, D: empties
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(200ms);
    Capture shot(h);
    const app::Options& o = f.Model().options;
    // The arrow box is the glyph's extent in the arrow font.
    HFONT arrowFont = ui::CreatePointFont(L"Times New Roman", o.StickerFontSize, f.Dpi());
    HDC dc = GetDC(h);
    HGDIOBJ oldFont = SelectObject(dc, arrowFont);
    SIZE arrow = {};
    GetTextExtentPoint32W(dc, L"\u25B2", 1, &arrow);
    SelectObject(dc, oldFont);
    ReleaseDC(h, dc);
    DeleteObject(arrowFont);
    COLORREF sticker = views::win32::Resolve(o.StickerColor);
    CHECK(Near(shot.At(h, 0, 0), sticker, 2));
    CHECK(Near(shot.At(h, 1, 1), RGB(128, 128, 128), 2));
    CHECK(Near(shot.At(h, 3, w.bottom - w.top - 4), sticker, 2));
    // D: at 94 % used is below both limits: red bands. Its row is the second.
    int cellX = views::StickerCellX(m, views::kKindPercent, o);
    int top = views::StickerRowTop(m, 1);
    views::StickerPercentGeometry g = views::StickerPercentCell(
        m, cellX, top, w.right - w.left, o.StickerFontSize, 94, true, arrow.cx);
    int inner = g.bar.bottom - 1 - (g.bar.top + 1);
    int lowerTop = g.bar.top + 1 + (inner - static_cast<int>(std::nearbyint(inner * 0.5625)));
    CHECK(Near(shot.At(h, g.bar.left + 3, lowerTop), views::win32::Resolve(o.BarColor2), 12));
    // C: at 80 % used (free 20 %, under 25 %): yellow.
    views::StickerPercentGeometry gc =
        views::StickerPercentCell(m, cellX, views::StickerRowTop(m, 0), w.right - w.left,
                                  o.StickerFontSize, 80, true, arrow.cx);
    CHECK(Near(shot.At(h, gc.bar.left + 3, lowerTop - g.top + gc.top),
               views::win32::Resolve(o.BarColor1), 12));
    // Arrows right of the bars: C:'s free space fell, so its used share rose:
    // the up arrow in its colour; D:'s rose: the down arrow.
    auto arrowColour = [&](const views::StickerPercentGeometry& at, COLORREF want) {
        for (int y = at.arrow.y; y < at.arrow.y + arrow.cy; ++y)
            for (int x = at.arrow.x; x < at.arrow.x + arrow.cx; ++x)
                if (Near(shot.At(h, x, y), want, 24)) return true;
        return false;
    };
    CHECK(arrowColour(gc, views::win32::Resolve(o.UpArrowColor)));
    CHECK(arrowColour(g, views::win32::Resolve(o.DownArrowColor)));
    CHECK_FALSE(arrowColour(gc, views::win32::Resolve(o.DownArrowColor)));
}

TEST_CASE_FIXTURE(Views, "switching views saves the settings and gives the window a new handle") {
    TMainForm& f = Make();
    HWND before = f.Handle();
    RECT classic = WindowBox(before);
    f.Click(Item("miSticker"));
    Pump(200ms);
    CHECK(Get("ViewMode") == 1);
    CHECK(f.Sticker());
    CHECK(f.Handle() != before);
    CHECK_FALSE(IsWindow(before));
    CHECK(IsWindowVisible(f.Handle()));
    CHECK(GetMenu(f.Handle()) == nullptr);
    CHECK(Item("pmiSticker").Checked());
    CHECK_FALSE(Item("miList").Checked());
    RECT sticker = WindowBox(f.Handle());
    CHECK(sticker.left == classic.left);
    CHECK(sticker.top == classic.top);
    CHECK(ListView_GetItemCount(f.List()) == 3);  // the rows came along
    // The refresh still reaches the new handle.
    Sample(30 * GB, 10 * GB);
    CHECK(f.Model().DriveCatalogue[0].FreeChange == 5 * GB);
    f.Click(Item("pmiList"));
    Pump(200ms);
    CHECK(Get("ViewMode") == 0);
    CHECK(GetMenu(f.Handle()) != nullptr);
}

TEST_CASE_FIXTURE(Views, "opacity: the alpha value of a menu level") {
    TMainForm& f = Make();
    BYTE alpha = 0;
    DWORD flags = 0;
    f.Click(Item("mit80"));  // "20%" transparency
    CHECK(f.Model().options.Transparency == 80);
    REQUIRE(GetLayeredWindowAttributes(f.Handle(), nullptr, &alpha, &flags));
    CHECK(alpha == 204);
    CHECK(Item("pmit80").Checked());
    CHECK(Item("mit80").Checked());
    CHECK_FALSE(Item("mit100").Checked());
    f.Click(Item("pmit100"));  // "None"
    GetLayeredWindowAttributes(f.Handle(), nullptr, &alpha, &flags);
    CHECK(alpha == 255);
    SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    CHECK(Get("Transparency") == 100);
}

TEST_CASE_FIXTURE(Views, "click-through: styles, the handle's square, the warning") {
    TMainForm& f = Make();
    HWND h = f.Handle();
    RECT before = WindowBox(h);
    bool handleDuringWarning = false;
    f.onConfirmShown = [&](views::win32::TfrmClickThruConfirm& d) {
        handleDuringWarning = f.CtrlForm() != nullptr;
        CHECK(d.ShowAgain().Checked());
        PostMessageW(d.Handle(), WM_COMMAND, IDCANCEL, 0);
    };
    f.Click(Item("pmiClickthrough"));
    CHECK(handleDuringWarning);
    // Cancelled: off again, no handle, the width back.
    CHECK_FALSE(f.Model().options.ClickThrough);
    CHECK(f.CtrlForm() == nullptr);
    CHECK((GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT) == 0);
    CHECK(WindowBox(h).right - WindowBox(h).left == before.right - before.left);

    f.onConfirmShown = [&](views::win32::TfrmClickThruConfirm& d) {
        d.ShowAgain().SetChecked(false);
        PostMessageW(d.Handle(), WM_COMMAND, IDOK, 0);
    };
    f.Click(Item("miClickthrough"));
    CHECK(f.Model().options.ClickThrough);
    CHECK(Get("ClickThroughWarn") == 0);
    LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
    CHECK((ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT));
    views::Scale s{f.Dpi()};
    RECT w = WindowBox(h);
    CHECK(w.right - w.left == before.right - before.left + s(14));
    REQUIRE(f.CtrlForm());
    RECT list;
    GetWindowRect(f.List(), &list);
    int inset = ((w.right - w.left) - (list.right - list.left)) / 2;
    views::Rect handle = f.CtrlForm()->Bounds();
    CHECK(handle == views::HandleRect({w.left, w.top, w.right, w.bottom}, inset, s));
    CHECK(handle.Width() == s(13));
    CHECK((GetWindowLongPtrW(f.CtrlForm()->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);
    // Shown above its owner, with the cross in the contrast colour.
    HWND grip = f.CtrlForm()->Handle();
    CHECK(IsWindowVisible(grip));
    CHECK(GetWindow(grip, GW_OWNER) == h);
    RedrawWindow(grip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(100ms);
    Capture gripShot(grip);
    CHECK(Near(gripShot.At(grip, s(6), s(6)),
               views::win32::Resolve(views::ContrastColor(f.Model().options.StickerColor)), 2));
    CHECK(Near(gripShot.At(grip, s(3), s(3)), views::win32::Resolve(f.Model().options.StickerColor),
               2));
    CHECK(Item("pmiClickthrough").Checked());
    CHECK(Item("miClickthrough").Checked());
    // Five flashes, then semi-transparent and still.
    for (int i = 0; i < 6; ++i) f.CtrlForm()->FlashTick();
    BYTE alpha = 0;
    GetLayeredWindowAttributes(f.CtrlForm()->Handle(), nullptr, &alpha, nullptr);
    CHECK(alpha == views::kHandleAlpha);
    CHECK(f.CtrlForm()->Flash().Ticks() == 5);

    // The next time no warning is asked; off again frees the handle.
    f.Click(Item("pmiClickthrough"));
    CHECK(f.CtrlForm() == nullptr);
    f.onConfirmShown = [&](views::win32::TfrmClickThruConfirm&) { FAIL("no warning expected"); };
    f.Click(Item("pmiClickthrough"));
    CHECK(f.CtrlForm() != nullptr);
    SendMessageW(h, WM_CLOSE, 0, 0);
    CHECK(Get("ClickThrough") == 1);
}

TEST_CASE_FIXTURE(Views, "commands of later windows are there and disabled; Exit closes") {
    TMainForm& f = Make();
    for (const char* name : {"pmiOptions", "miOptions", "pmiAbout", "miAbout", "pmiHelp",
                             "miContents", "pmiSearch", "miChanges", "pmiNTFAdd", "miNTFEdit",
                             "pmiHidetotray", "pmiShowTips", "pmiMoreSpaceReport", "pmiTools"}) {
        CAPTURE(name);
        CHECK_FALSE(Item(name).Enabled());
    }
    CHECK(Item("pmiHidetotray").Caption() == "Hide Zelmora");
    HMENU bar = GetMenu(f.Handle());
    UINT exit = IdOf(bar, L"E&xit");
    REQUIRE(exit);
    wchar_t text[64] = {};
    GetMenuStringW(bar, exit, text, 64, MF_BYCOMMAND);
    CHECK(std::wstring(text) == L"E&xit\tAlt+X");
    SendMessageW(f.Handle(), WM_COMMAND, exit, 0);
    Pump(100ms);
    CHECK_FALSE(IsWindow(f.Handle()));
}

TEST_CASE_FIXTURE(Views, "a stored click-through mode is applied at start, without asking") {
    Set("ViewMode", 1);
    Set("ClickThrough", 1);
    TMainForm& f = Make();
    REQUIRE(f.CtrlForm());
    HWND grip = f.CtrlForm()->Handle();
    CHECK(IsWindowVisible(grip));
    views::Scale s{f.Dpi()};
    RECT w = WindowBox(f.Handle());
    // The sticker's inset is 2: the handle sits just inside its corner.
    CHECK(f.CtrlForm()->Bounds() == views::HandleRect({w.left, w.top, w.right, w.bottom}, s(2), s));
    CHECK(w.right - w.left == views::StickerWidth(f.StickerLayout()));
    CHECK(f.StickerLayout().clickThrough);
}

TEST_CASE_FIXTURE(Views, "hover fade: opaque under the mouse, back to the set opacity after") {
    Set("Transparency", 80);
    TMainForm& f = Make();
    HWND h = f.Handle();
    auto alpha = [&] {
        BYTE a = 0;
        GetLayeredWindowAttributes(h, nullptr, &a, nullptr);
        return static_cast<int>(a);
    };
    CHECK(alpha() == 204);
    RECT w = WindowBox(h);
    SetCursorPos((w.left + w.right) / 2, (w.top + w.bottom) / 2);
    SendMessageW(f.List(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 30));
    Pump(50ms);
    int rising = alpha();
    CHECK(rising > 204);
    Pump(400ms);  // ten steps of 2 % at 10 ms, with room for a slow timer
    CHECK(alpha() == 255);
    CHECK(f.Model().options.Transparency == 80);  // the setting stays
    SetCursorPos(w.right + 50, w.bottom + 50);
    Pump(400ms);
    CHECK(alpha() == 204);
    // The hovered drive is what tools get when the menu opens on a row.
    RECT row;
    ListView_GetItemRect(f.List(), 1, &row, LVIR_BOUNDS);
    POINT p = {row.left + 30, (row.top + row.bottom) / 2};
    ClientToScreen(f.List(), &p);
    SetCursorPos(p.x, p.y);
    PostMessageW(f.List(), WM_RBUTTONUP, 0, MAKELPARAM(row.left + 30, (row.top + row.bottom) / 2));
    PostMessageW(h, WM_CANCELMODE, 0, 0);
    // The pop-up runs its own loop; closing it with Escape ends the test's turn.
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    Pump(300ms);
    CHECK(f.HoverDrive() == "D:");
}
