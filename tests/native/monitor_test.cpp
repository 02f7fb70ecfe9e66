#include <doctest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <unistd.h>

#include "app/main_messages.h"
#include "app/monitor.h"
#include "disks/debug_log.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_volumes.h"
#include "intl/messages.h"

using namespace std::chrono_literals;
using app::Monitor;
using fakes::FakeRegistry;
using fakes::FakeVolumes;

namespace {

const std::string kKey = "Software\\Test\\Zelmora";
constexpr int64_t GB = 1LL << 30;

// Hands a worker's result to the test thread and waits until it was taken,
// as a sent window message does.
struct Channel {
    std::mutex m;
    std::condition_variable cv;
    std::optional<disks::RemoteResult> pending;
    bool open = true;
};

class Host : public app::MonitorHost {
  public:
    std::vector<std::pair<int, intptr_t>> posts;
    std::vector<std::pair<int, int>> cells;
    int rebuilt = 0, labels = 0, catalogue = 0, tray = 0;
    std::shared_ptr<Channel> channel = std::make_shared<Channel>();

    void PostToSelf(int m, intptr_t l) override { posts.push_back({m, l}); }
    void RowsRebuilt() override { ++rebuilt; }
    void CellChanged(int r, int c) override { cells.push_back({r, c}); }
    void RowChanged(int) override {}
    void LabelsChanged() override { ++labels; }
    void CatalogueRebuilt() override { ++catalogue; }
    void TrayDiskChanged(int) override { ++tray; }
    disks::TGetRemote::Deliver RemoteDeliver() override {
        auto ch = channel;
        return [ch](const disks::RemoteResult& r) {
            std::unique_lock lock(ch->m);
            ch->cv.wait(lock, [&] { return !ch->pending || !ch->open; });
            if (!ch->open) return;
            ch->pending = r;
            ch->cv.notify_all();
            ch->cv.wait_for(lock, 10s, [&] { return !ch->pending || !ch->open; });
        };
    }
    ~Host() override {
        std::lock_guard lock(channel->m);
        channel->open = false;
        channel->cv.notify_all();
    }
    // The main thread's side: handles one delivered result, if one comes in time.
    bool Pump(Monitor& m, std::chrono::milliseconds within = 5s) {
        std::unique_lock lock(channel->m);
        if (!channel->cv.wait_for(lock, within, [&] { return channel->pending.has_value(); }))
            return false;
        m.OnRemoteResult(*channel->pending);
        channel->pending.reset();
        channel->cv.notify_all();
        return true;
    }
    int Count(int message) const {
        int n = 0;
        for (auto& p : posts) n += p.first == message;
        return n;
    }
};

struct Watch : app::ConditionWatch {
    std::vector<std::string> drives;
    bool AnyCondition() const override { return !drives.empty(); }
    bool Watches(const std::string& d) const override {
        for (auto& x : drives)
            if (x == d) return true;
        return false;
    }
};

struct Fixture {
    FakeRegistry reg;
    FakeVolumes volumes;
    std::shared_ptr<FakeVolumes> workerVolumes = std::make_shared<FakeVolumes>();
    Host host;
    std::unique_ptr<Monitor> monitor;

    Fixture() {
        intl::InstallBuiltInMessages();
        volumes["C:"].type = os::kDriveFixed;
        volumes["C:"].details.label = "SYSTEM";
        volumes.SetSpace("C:", 100 * GB, 40 * GB, 40 * GB);
        volumes["A:"].type = os::kDriveRemovable;
        volumes["D:"].type = os::kDriveCdRom;
        volumes["D:"].details.label = "";
        volumes["D:"].shellName = "CD Drive (D:)";
    }
    Monitor& Make() {
        app::MonitorServices s;
        s.registry = &reg;
        s.volumes = &volumes;
        auto wv = workerVolumes;
        s.makeWorkerVolumes = [wv] {
            return std::unique_ptr<os::Volumes>(std::make_unique<fakes::ForwardingVolumes>(wv));
        };
        s.keyPath = kKey;
        monitor = std::make_unique<Monitor>(host, s);
        monitor->LoadOptions();
        return *monitor;
    }
};

}  // namespace

TEST_CASE("the seconds counter asks for a sample every UpdateInterval seconds") {
    for (int interval : {10, 1, 3}) {
        Fixture f;
        Monitor& m = f.Make();
        m.options.UpdateInterval = static_cast<uint16_t>(interval);
        m.SetSeconds(1);  // as at the end of start-up
        std::vector<int> at;
        for (int tick = 1; tick <= 30; ++tick) {
            size_t before = f.host.posts.size();
            m.Tick();
            if (f.host.posts.size() > before) {
                CHECK(f.host.posts.back().first == app::kWmSample);
                at.push_back(tick);
            }
        }
        CAPTURE(interval);
        if (interval == 10) CHECK(at == std::vector<int>{9, 19, 29});
        if (interval == 1) CHECK(at.size() == 30);
        if (interval == 3) CHECK(at == std::vector<int>{2, 5, 8, 11, 14, 17, 20, 23, 26, 29});
    }
}

TEST_CASE("filling the catalogue lists monitored drives and takes the first sample") {
    Fixture f;
    Monitor& m = f.Make();
    m.FillDisks();
    REQUIRE(m.DriveCatalogue.size() == 3);
    CHECK(m.DriveLabels == std::vector<std::string>{" - ", "SYSTEM", " - "});
    // Quiet drives are not touched at start.
    CHECK(f.volumes.InfoQueries("A:\\") == 0);
    CHECK(f.volumes.SpaceQueries("A:") == 0);
    CHECK(f.volumes.SpaceQueries("D:") == 0);
    REQUIRE(m.Rows().size() == 1);
    const app::ListRow& row = m.Rows()[0];
    CHECK(row.cells[app::kColName] == "  C:");
    CHECK(row.cells[app::kColCapacity] == "100.00");
    CHECK(row.cells[app::kColFree] == "40.00");
    CHECK(row.cells[app::kColUsed] == "60.00");
    CHECK(m.DriveCatalogue[1].FreeChange == 0);
    CHECK(m.EnabledDisks.Items() == std::vector<std::string>{"C:"});
    CHECK(m.DisabledDisks.Items() == std::vector<std::string>{"A:", "D:"});
    CHECK(f.host.catalogue == 1);
    CHECK_FALSE(m.WorkerRunning());
}

TEST_CASE("a sampling pass refreshes values, trends and only the cells that changed") {
    Fixture f;
    Monitor& m = f.Make();
    m.FillDisks();
    f.host.cells.clear();
    f.volumes.SetSpace("C:", 100 * GB, 30 * GB, 30 * GB);
    m.SamplingPass();
    const disks::DriveEntry& c = m.DriveCatalogue[1];
    CHECK(c.Free == 30 * GB);
    CHECK(c.FreeChange == -10 * GB);
    CHECK(c.Used == 70 * GB);
    // Capacity is unchanged, so its cell is not written again.
    CHECK(f.host.cells == std::vector<std::pair<int, int>>{
                              {0, app::kColUsed}, {0, app::kColFree}, {0, app::kColAvailable}});
    f.host.cells.clear();
    m.SamplingPass();
    CHECK(m.DriveCatalogue[1].FreeChange == 0);
    CHECK(f.host.cells.empty());
    CHECK(f.host.Count(app::kWmCheckConditions) == 0);  // no conditions

    // A failed query gives zeros; one that raised a capacity of -1.
    f.volumes["C:"].space.outcome = os::SpaceAnswer::Outcome::Failed;
    m.SamplingPass();
    CHECK(m.DriveCatalogue[1].Capacity == 0);
    CHECK(m.DriveCatalogue[1].FreeChange == 0);
    f.volumes["C:"].space.outcome = os::SpaceAnswer::Outcome::Raised;
    m.SamplingPass();
    CHECK(m.DriveCatalogue[1].Capacity == -1);
    CHECK(m.Rows()[0].cells[app::kColCapacity] == "0");
}

TEST_CASE("watched drives are sampled even when not monitored; empty CD drives are not queried") {
    Fixture f;
    Watch watch;
    watch.drives = {"A:", "D:"};
    Monitor& m = f.Make();
    m.conditions = &watch;
    f.volumes.SetSpace("A:", 1440 * 1024, 1000 * 1024, 1000 * 1024);
    m.FillDisks();
    m.SamplingPass();
    CHECK(m.DriveCatalogue[0].Free == 1000 * 1024);
    CHECK(f.volumes.SpaceQueries("D:") == 0);  // label is the shell's "(D:)" name: no medium
    CHECK(m.DriveCatalogue[2].Capacity == 0);
    CHECK(f.host.Count(app::kWmCheckConditions) == 1);

    // With a medium the drive has a label of its own and is sampled.
    f.volumes["D:"].details.label = "MUSIC";
    f.volumes.SetSpace("D:", 700 * 1024 * 1024, 0, 0);
    m.SamplingPass();
    CHECK(f.volumes.SpaceQueries("D:") == 1);
    CHECK(m.DriveCatalogue[2].Capacity == 700 * 1024 * 1024);
}

TEST_CASE("network drives are queried by the worker and never hold up local drives") {
    Fixture f;
    f.volumes["N:"].type = os::kDriveRemote;
    (*f.workerVolumes)["N:"].type = os::kDriveRemote;
    (*f.workerVolumes)["N:"].shellName = "share on server (N:)";
    (*f.workerVolumes)["N:"].delay = 400ms;  // a slow server
    f.workerVolumes->SetSpace("N:", 10 * GB, 5 * GB, 5 * GB);
    Monitor& m = f.Make();
    auto start = std::chrono::steady_clock::now();
    m.FillDisks();
    m.SamplingPass();
    auto spent = std::chrono::steady_clock::now() - start;
    CHECK(spent < 200ms);
    CHECK(f.volumes.SpaceQueries("N:") == 0);  // never on this thread
    CHECK(m.WorkerRunning());
    CHECK(f.host.Count(app::kWmSample) == 1);  // AddDisks asks for a pass at once
    int n = disks::IndexOfName(m.DriveCatalogue, "N:");
    REQUIRE(n >= 0);
    CHECK(m.Rows().back().cells[app::kColCapacity] == "0");

    // While the worker is busy, another pass's list is dropped.
    m.SamplingPass();
    REQUIRE(f.host.Pump(m));
    CHECK(m.DriveCatalogue[n].Capacity == 10 * GB);
    CHECK(m.DriveLabels[n] == "share on server (N:)");
    CHECK(f.host.posts.back() == std::pair<int, intptr_t>{app::kWmRefreshRow, n});
    m.RefreshRow(n);
    CHECK(m.Rows().back().cells[app::kColCapacity] == "10.00");
    CHECK_FALSE(f.host.Pump(m, 700ms));  // the second pass's list never ran
    CHECK(f.workerVolumes->SpaceQueries("N:") == 1);

    // An unreachable drive reports -1 everywhere and prints as 0.
    f.workerVolumes->volumes.erase("n:");
    m.SamplingPass();
    REQUIRE(f.host.Pump(m));
    CHECK(m.DriveCatalogue[n].Capacity == -1);
    CHECK(m.DriveCatalogue[n].Used == 0);
    m.RefreshRow(n);
    CHECK(m.Rows().back().cells[app::kColFree] == "0");
    m.RefreshRow(99);  // an index past the catalogue is ignored
}

TEST_CASE("a result for a drive that left the catalogue is dropped") {
    Fixture f;
    Monitor& m = f.Make();
    m.FillDisks();
    disks::RemoteResult r;
    r.name = "Q:";
    r.capacity = 5;
    size_t posts = f.host.posts.size();
    m.OnRemoteResult(r);
    CHECK(f.host.posts.size() == posts);
}

TEST_CASE("a volume that leaves takes its row with it") {
    Fixture f;
    f.volumes["E:"].type = os::kDriveRemovable;
    f.volumes.SetSpace("E:", 8 * GB, 8 * GB, 8 * GB);
    f.volumes["E:"].type = os::kDriveRemovable;
    Monitor& m = f.Make();
    m.FillDisks();
    CHECK(m.Rows().size() == 2);  // C: and the stick
    f.volumes.Remove("E:");
    m.OnVolumeChange();
    REQUIRE(m.Rows().size() == 1);
    CHECK(m.Rows()[0].cells[app::kColName] == "  C:");
    CHECK(m.EnabledDisks.Contains("E:"));  // remembered for the next time
}

TEST_CASE("settings round trip through the monitor keeps the lists and folders") {
    Fixture f;
    f.reg.WriteString(os::RegRoot::CurrentUser, kKey, "FoldersList", "C:\\Data");
    f.reg.WriteString(os::RegRoot::CurrentUser, kKey, "TrayDisks", "C:0,D:1");
    f.volumes.SetSpace("C:\\Data", 100 * GB, 40 * GB, 40 * GB);
    Monitor& m = f.Make();
    m.FillDisks();
    CHECK(m.Rows().size() == 2);
    CHECK(m.Rows()[1].cells[app::kColName] == "  C:\\Data");
    CHECK(m.SaveOptions());
    auto* enabled = f.reg.Find(os::RegRoot::CurrentUser, kKey, "EnabledDisks");
    REQUIRE(enabled);
    CHECK(enabled->text == "C:\r\nC:\\Data\r\n");
    CHECK(f.reg.Find(os::RegRoot::CurrentUser, kKey, "DisabledDisks")->text == "A:\r\nD:\r\n");
    CHECK(f.reg.Find(os::RegRoot::CurrentUser, kKey, "TrayDisks")->text == "C:0,D:1");
    CHECK(f.reg.Find(os::RegRoot::CurrentUser, kKey, "FoldersList")->text == "C:\\Data");
}

TEST_CASE("the debug log writes timed lines only when it is on") {
    namespace fs = std::filesystem;
    fs::path path = fs::temp_directory_path() / ("zm_log_" + std::to_string(::getpid()) + ".log");
    fs::remove(path);
    fakes::FakeClock clock;
    clock.now = fakes::FakeClock::At(2026, 12, 11, 14, 3, 7);
    disks::LogLine("before");
    CHECK_FALSE(fs::exists(path));
    disks::EnableDebugLog(path.string(), clock);
    {
        Fixture f;
        Monitor& m = f.Make();
        m.FillDisks();
    }
    disks::DisableDebugLog();
    disks::LogLine("after");
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string log = all.str();
    CHECK(log.rfind("14:03:07 LoadOptions\r\n", 0) == 0);
    CHECK(log.find("14:03:07 FillDisks\r\n") != std::string::npos);
    CHECK(log.find("14:03:07 Get disk label for C:: SYSTEM\r\n") != std::string::npos);
    CHECK(log.find("14:03:07 Adding disk C:...\r\n14:03:07 Added.\r\n") != std::string::npos);
    CHECK(log.find("14:03:07 /AddDisks\r\n14:03:07 /FillDisks\r\n") != std::string::npos);
    CHECK(log.find("after") == std::string::npos);
    fs::remove(path);
}

TEST_CASE("a settings key with a broken value loses nothing at the next save") {
    Fixture f;
    f.reg.WriteString(os::RegRoot::CurrentUser, kKey, "CloseZM", "not a number");
    f.reg.WriteString(os::RegRoot::CurrentUser, kKey, "NtfConditions", "stored conditions");
    Monitor& m = f.Make();
    CHECK(m.options.NtfConditions.empty());
    m.FillDisks();
    CHECK(m.SaveOptions());
    CHECK(f.reg.Find(os::RegRoot::CurrentUser, kKey, "NtfConditions")->text == "stored conditions");
}
