#include <doctest.h>
#include <windows.h>
#include <commctrl.h>
#include <dbt.h>

#include <chrono>

#include "app/main_messages.h"
#include "app/win32/main_form.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_volumes.h"
#include "fakes/window_capture.h"
#include "intl/messages.h"
#include "os/win32/wide.h"

using namespace std::chrono_literals;
using app::win32::TMainForm;

namespace {

constexpr int64_t GB = 1LL << 30;
const std::string kKey = "Software\\ZelmoraTests\\MainForm";

struct Fixture {
    fakes::FakeRegistry reg;
    fakes::FakeVolumes volumes;
    std::shared_ptr<fakes::FakeVolumes> network = std::make_shared<fakes::FakeVolumes>();
    std::unique_ptr<TMainForm> form;

    Fixture() {
        intl::InstallBuiltInMessages();
        volumes["C:"].type = os::kDriveFixed;
        volumes.SetSpace("C:", 100 * GB, 25 * GB, 25 * GB);
        volumes["E:"].type = os::kDriveRemovable;
        volumes.SetSpace("E:", 16 * GB, 4 * GB, 4 * GB);
        reg.WriteDword(os::RegRoot::CurrentUser, kKey, "OnceStarted", 1);
    }
    TMainForm& Make() {
        app::MonitorServices s;
        s.registry = &reg;
        s.volumes = &volumes;
        s.makeWorkerVolumes = [net = network] {
            return std::unique_ptr<os::Volumes>(std::make_unique<fakes::ForwardingVolumes>(net));
        };
        s.keyPath = kKey;
        s.screenWidth = 1024;
        form = std::make_unique<TMainForm>(s);
        REQUIRE(form->Create());
        form->StopTimer();
        form->Show();
        return *form;
    }
};

std::string Cell(HWND list, int row, int col) {
    wchar_t buf[256] = {};
    ListView_GetItemText(list, row, col, buf, 256);
    return os::win32::Utf8(buf);
}

}  // namespace

TEST_CASE("the main window lists the monitored drives and follows the samples") {
    Fixture f;
    TMainForm& form = f.Make();
    HWND list = form.List();
    REQUIRE(ListView_GetItemCount(list) == 2);
    CHECK(Cell(list, 0, 0) == "  C:");
    CHECK(Cell(list, 0, 1) == "100.00");
    CHECK(Cell(list, 0, 2) == "25.00");  // Free: Used and Available are hidden by default
    CHECK(Cell(list, 1, 0) == "  E:");
    CHECK(Cell(list, 1, 2) == "4.00");
    HWND header = ListView_GetHeader(list);
    wchar_t caption[64] = {};
    HDITEMW hd = {};
    hd.mask = HDI_TEXT;
    hd.pszText = caption;
    hd.cchTextMax = 64;
    Header_GetItem(header, 1, &hd);
    CHECK(std::wstring(caption) == L"Capacity (Gb)");

    f.volumes.SetSpace("C:", 100 * GB, 50 * GB, 50 * GB);
    PostMessageW(form.Handle(), app::kWmSample, 0, 0);
    fakes::Pump(200ms);
    CHECK(Cell(list, 0, 2) == "50.00");
    CHECK(form.Model().DriveCatalogue[0].FreeChange == 25 * GB);

    // A stick that leaves: the window rebuilds its list on the volume event.
    f.volumes.Remove("E:");
    DEV_BROADCAST_HDR hdr = {};
    hdr.dbch_size = sizeof hdr;
    hdr.dbch_devicetype = DBT_DEVTYP_VOLUME;
    SendMessageW(form.Handle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&hdr));
    CHECK(ListView_GetItemCount(list) == 1);
    hdr.dbch_devicetype = DBT_DEVTYP_PORT;  // other device events change nothing
    f.volumes["E:"].type = os::kDriveRemovable;
    SendMessageW(form.Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&hdr));
    CHECK(ListView_GetItemCount(list) == 1);
}

TEST_CASE("a slow network drive answers through a sent message without blocking the window") {
    Fixture f;
    f.volumes["N:"].type = os::kDriveRemote;
    (*f.network)["N:"].type = os::kDriveRemote;
    (*f.network)["N:"].delay = 600ms;
    f.network->SetSpace("N:", 10 * GB, 1 * GB, 1 * GB);
    auto start = std::chrono::steady_clock::now();
    TMainForm& form = f.Make();
    CHECK(std::chrono::steady_clock::now() - start < 2s);
    HWND list = form.List();
    int row = ListView_GetItemCount(list) - 1;
    REQUIRE(Cell(list, row, 0) == "  N:");
    CHECK(Cell(list, row, 1) == "0");
    // Local samples keep coming while the worker waits for the server.
    f.volumes.SetSpace("C:", 100 * GB, 60 * GB, 60 * GB);
    PostMessageW(form.Handle(), app::kWmSample, 0, 0);
    fakes::Pump(100ms);
    CHECK(Cell(list, 0, 2) == "60.00");
    CHECK(Cell(list, row, 1) == "0");
    fakes::Pump(1500ms);
    CHECK(Cell(list, row, 1) == "10.00");
    CHECK(Cell(list, row, 2) == "1.00");
}

TEST_CASE("closing saves the settings, a restart request does not") {
    Fixture f;
    TMainForm& form = f.Make();
    SendMessageW(form.Handle(), WM_ENDSESSION, TRUE, 0);
    CHECK(f.reg.TypeOf(os::RegRoot::CurrentUser, kKey, "UpdateInterval") == os::RegType::Dword);
    CHECK(f.reg.Find(os::RegRoot::CurrentUser, kKey, "EnabledDisks")->text == "E:\r\nC:\r\n");
    int writes = f.reg.writes;
    SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    CHECK(f.reg.writes > writes);
    CHECK_FALSE(IsWindow(form.Handle()));
}
