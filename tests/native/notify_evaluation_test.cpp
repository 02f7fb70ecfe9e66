// Evaluating the conditions after each refresh, and handing the fired ones
// over to delivery.
#include <doctest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/main_messages.h"
#include "app/monitor.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_registry.h"
#include "disks/format.h"
#include "fakes/fake_volumes.h"
#include "intl/messages.h"
#include "notify/evaluation.h"
#include "notify/notify_core.h"
#include "notify/stored_conditions.h"

using notify::ConditionList;
using notify::TCondition;

namespace {

constexpr int64_t MB = 1048576;

disks::DriveEntry Drive(const std::string& name, int64_t capacity, int64_t free,
                        int64_t available) {
    disks::DriveEntry e;
    e.Kind = disks::kFixed;
    e.Name = name;
    e.Capacity = capacity;
    e.Free = free;
    e.Available = available;
    e.Used = capacity - free;
    return e;
}

std::shared_ptr<TCondition> Condition(const std::string& disk, int16_t measure, int16_t comparison,
                                      int64_t value) {
    auto c = std::make_shared<TCondition>();
    c->Disk = disk;
    c->CndParam = measure;
    c->Comparison = comparison;
    c->Value = value;
    return c;
}

// Stands in for the main window: keeps what it is asked to post and start.
struct FakeDelivery : notify::DeliveryHost {
    std::vector<uint32_t> posted;
    std::vector<notify::JobOrder> jobs;
    std::vector<std::string> events;  // "front", "job"
    bool postFails = false;
    bool finishJobs = true;  // jobs end at once unless a test keeps them running

    bool PostConditionFired(uint32_t ticket) override {
        if (postFails) return false;
        posted.push_back(ticket);
        return true;
    }
    void BringToFront() override { events.push_back("front"); }
    bool StartJob(notify::JobOrder order) override {
        events.push_back("job");
        if (finishJobs) order.Condition->running = false;
        jobs.push_back(std::move(order));
        return true;
    }
    // The message loop: every posted request handled in order.
    void Deliver(notify::NotifyCore& core, bool stayOnTop = true) {
        std::vector<uint32_t> tickets;
        tickets.swap(posted);
        for (uint32_t t : tickets) core.OnConditionFired(t, stayOnTop);
    }
};

struct CoreFixture {
    CoreFixture() { intl::InstallBuiltInMessages(); }
    FakeDelivery host;
    fakes::FakeClock clock;
    notify::NotifyCore core{host, clock};
    disks::DriveCatalogue catalogue{Drive("C:", 1000 * MB, 50 * MB, 50 * MB)};
    os::LocaleFormats locale;

    void Check() { core.CheckConditions(catalogue, disks::kMegabytes, locale); }
};

}  // namespace

TEST_CASE("whether a condition holds") {
    disks::DriveCatalogue catalogue{
        Drive("C:", 1000 * MB, 200 * MB, 50 * MB),  // quota: less available than free
        Drive("D:", 1000 * MB, 100 * MB, 100 * MB),
        Drive("E:", 0, 0, 0),   // no medium
        Drive("F:", -1, 0, 0),  // the query raised
        Drive("C:\\Data", 500 * MB, 10 * MB, 10 * MB),
    };
    struct Case {
        const char* name;
        std::string disk;
        int16_t measure, comparison;
        int64_t value;
        bool holds;
        int64_t amount;
    } cases[] = {
        {"free is the smaller of free and available", "C:", 0, 0, 100 * MB, true, 50 * MB},
        {"free more than", "C:", 0, 1, 40 * MB, true, 50 * MB},
        {"an amount equal to the threshold is not less", "D:", 0, 0, 100 * MB, false, 100 * MB},
        {"an amount equal to the threshold is not more", "D:", 0, 1, 100 * MB, false, 100 * MB},
        {"used more than", "D:", 1, 1, 899 * MB, true, 900 * MB},
        {"used less than", "D:", 1, 0, 900 * MB, false, 900 * MB},
        {"the name is looked up ignoring case", "c:\\data", 0, 0, 11 * MB, true, 10 * MB},
        {"a drive of capacity 0 never holds", "E:", 0, 0, 100 * MB, false, 0},
        {"a drive whose query raised never holds", "F:", 1, 1, -5, false, 0},
        {"a drive missing from the catalogue never holds", "Q:", 0, 0, 100 * MB, false, 0},
        {"another measure never holds", "C:", 2, 0, 100 * MB, false, 0},
        {"another comparison never holds", "C:", 0, 2, 100 * MB, false, 50 * MB},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        int64_t amount = 0;
        CHECK(notify::ConditionHolds(*Condition(c.disk, c.measure, c.comparison, c.value),
                                     catalogue, amount) == c.holds);
        CHECK(amount == c.amount);
    }
}

TEST_CASE("a condition that keeps holding fires at every second evaluation") {
    struct Case {
        const char* name;
        std::vector<bool> holds;  // per evaluation
        std::vector<int> fires;   // evaluations (1-based) at which it fires
    } cases[] = {
        {"holding all along", {1, 1, 1, 1, 1, 1}, {1, 3, 5}},
        {"stops at 2, holds again at 3", {1, 0, 1, 1}, {1, 3}},
        {"stops after the skipped evaluation", {1, 1, 0, 1, 1, 1}, {1, 4, 6}},
        {"re-armed by not holding", {1, 1, 1, 0, 1}, {1, 3, 5}},
        {"never holding", {0, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        ConditionList list{Condition("C:", 0, 0, 100 * MB)};
        std::vector<int> fires;
        for (size_t i = 0; i < c.holds.size(); ++i) {
            int64_t free = c.holds[i] ? 10 * MB : 500 * MB;
            disks::DriveCatalogue catalogue{Drive("C:", 1000 * MB, free, free)};
            notify::CheckConditions(list, catalogue,
                                    [&](const std::shared_ptr<TCondition>&, int64_t amount) {
                                        CHECK(amount == free);
                                        fires.push_back(static_cast<int>(i) + 1);
                                    });
        }
        CHECK(fires == c.fires);
    }
}

TEST_CASE("each condition keeps its own cadence") {
    ConditionList list{Condition("C:", 0, 0, 100 * MB), Condition("Q:", 0, 0, 100 * MB),
                       Condition("C:", 1, 1, 0)};
    disks::DriveCatalogue catalogue{Drive("C:", 1000 * MB, 10 * MB, 10 * MB)};
    std::vector<std::string> fired;
    for (int i = 0; i < 2; ++i)
        notify::CheckConditions(
            list, catalogue, [&](const std::shared_ptr<TCondition>& c, int64_t) {
                fired.push_back(std::to_string(i + 1) + ":" + std::to_string(c->CndParam));
            });
    CHECK(fired == std::vector<std::string>{"1:0", "1:1"});
    // The condition on a missing drive stays armed; the others wait a turn.
    CHECK(list[1]->Armed);
    CHECK(list[0]->Armed);
    CHECK(list[2]->Armed);
}

TEST_CASE("a fired condition reaches its job with the whole text") {
    CoreFixture f;
    f.clock.now = fakes::FakeClock::At(2024, 3, 9, 14, 5, 7);
    auto c = Condition("C:", 0, 0, 100 * MB);
    c->NtfWay = notify::kWayEmail;
    c->NtfParam = "a@b.c";
    c->Comments = std::string(2000, 'x');  // far beyond what an atom holds
    f.core.Conditions().push_back(c);
    f.Check();
    REQUIRE(f.host.posted.size() == 1);
    CHECK(f.core.PendingRequests() == 1);
    f.host.Deliver(f.core);
    CHECK(f.core.PendingRequests() == 0);
    REQUIRE(f.host.jobs.size() == 1);
    const notify::JobOrder& job = f.host.jobs[0];
    CHECK(job.Way == notify::kWayEmail);
    CHECK(job.Param == "a@b.c");
    CHECK(job.Text ==
          "(3/9/2024 02:05:07 PM) Zelmora: 'Free space' on disk C: is 50.00 Mb which "
          "is less than 100.00 Mb\r\n" +
              std::string(2000, 'x'));
    CHECK(job.Condition == c->Job);
}

TEST_CASE("a request for a condition whose job still runs is dropped") {
    CoreFixture f;
    f.host.finishJobs = false;
    auto c = Condition("C:", 0, 0, 100 * MB);
    f.core.Conditions().push_back(c);
    f.Check();  // fires
    f.host.Deliver(f.core);
    REQUIRE(f.host.jobs.size() == 1);
    f.Check();  // skipped
    f.Check();  // fires again while the first job (its box) is still open
    REQUIRE(f.host.posted.size() == 1);
    f.host.Deliver(f.core);
    CHECK(f.host.jobs.size() == 1);
    CHECK(f.core.PendingRequests() == 0);  // the request is taken out all the same
    // The box is closed; the next firing delivers again.
    f.host.jobs[0].Condition->running = false;
    f.Check();
    f.Check();
    f.host.Deliver(f.core);
    CHECK(f.host.jobs.size() == 2);
}

TEST_CASE("a message box brings the main window to front unless it stays on top") {
    for (bool stayOnTop : {false, true}) {
        CAPTURE(stayOnTop);
        CoreFixture f;
        f.core.Conditions().push_back(Condition("C:", 0, 0, 100 * MB));  // a message box
        auto sound = Condition("C:", 0, 0, 100 * MB);
        sound->NtfWay = notify::kWaySound;
        f.core.Conditions().push_back(sound);
        f.Check();
        f.host.Deliver(f.core, stayOnTop);
        std::vector<std::string> expected = {"front", "job", "job"};
        if (stayOnTop) expected = {"job", "job"};
        CHECK(f.host.events == expected);
    }
}

TEST_CASE("requests that cannot be handed over leave nothing behind") {
    CoreFixture f;
    auto c = Condition("C:", 0, 0, 100 * MB);
    f.core.Conditions().push_back(c);
    f.host.postFails = true;
    f.Check();
    CHECK(f.core.PendingRequests() == 0);
    // An unknown ticket (handled twice, or never posted) is ignored.
    f.core.OnConditionFired(12345, true);
    CHECK(f.host.jobs.empty());
}

TEST_CASE("a condition replaced before its request is handled is not delivered") {
    CoreFixture f;
    f.core.Load("1|Zelmora|0|0|C:|104857600|1|2||");
    f.Check();
    REQUIRE(f.host.posted.size() == 1);
    // The options dialog replaces the list: the old condition is freed.
    f.core.Load("1|Other|0|0|C:|104857600|1|2||");
    f.host.Deliver(f.core);
    CHECK(f.host.jobs.empty());
    CHECK(f.core.PendingRequests() == 0);
}

TEST_CASE("a job that outlives its condition writes only to its own link") {
    CoreFixture f;
    f.host.finishJobs = false;
    f.core.Load("6|tool.exe|0|0|C:|104857600|1|2||");
    f.Check();
    f.host.Deliver(f.core);
    REQUIRE(f.host.jobs.size() == 1);
    std::weak_ptr<TCondition> old = f.core.Conditions()[0];

    // The job runs on its own thread and ends after the list was replaced.
    std::mutex m;
    std::condition_variable cv;
    bool replaced = false;
    std::shared_ptr<notify::JobLink> link = f.host.jobs[0].Condition;
    f.host.jobs.clear();  // the job thread holds the only other reference
    std::thread job([&m, &cv, &replaced, link = std::move(link)] {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return replaced; });
        link->running = false;
    });
    f.core.Load("6|tool.exe|0|0|C:|104857600|1|2||");
    CHECK(old.expired());
    {
        std::lock_guard lock(m);
        replaced = true;
    }
    cv.notify_one();
    job.join();
    // The new condition has no job of its own and fires normally.
    CHECK_FALSE(f.core.Conditions()[0]->JobRunning());
    f.Check();
    f.host.Deliver(f.core);
    CHECK(f.host.jobs.size() == 1);
}

namespace {

// The refresh cycle with the conditions hooked in, as the main window has it.
struct CycleFixture : app::MonitorHost {
    CycleFixture() {
        intl::InstallBuiltInMessages();
        volumes["C:"].type = os::kDriveFixed;
        volumes["D:"].type = os::kDriveFixed;
        volumes.SetSpace("C:", 1000 * MB, 500 * MB, 500 * MB);
        volumes.SetSpace("D:", 1000 * MB, 500 * MB, 500 * MB);
        registry.WriteString(os::RegRoot::CurrentUser, app::kSettingsKey, "DisabledDisks",
                             "D:\r\n");
        app::MonitorServices services;
        services.registry = &registry;
        services.volumes = &volumes;
        services.makeWorkerVolumes = [] { return std::make_unique<fakes::FakeVolumes>(); };
        monitor = std::make_unique<app::Monitor>(*this, std::move(services));
        monitor->conditions = &core;
        monitor->LoadOptions();
    }

    void PostToSelf(int message, intptr_t) override { messages.push_back(message); }
    void RowsRebuilt() override {}
    void CellChanged(int, int) override {}
    void RowChanged(int) override {}
    void LabelsChanged() override {}
    void CatalogueRebuilt() override {}
    void TrayDiskChanged(int) override {}
    disks::TGetRemote::Deliver RemoteDeliver() override {
        return [](const disks::RemoteResult&) {};
    }

    // Handles what the cycle posted, as the window procedure would.
    void Pump() {
        std::vector<int> now;
        now.swap(messages);
        for (int m : now)
            if (m == app::kWmCheckConditions) {
                ++evaluations;
                core.CheckConditions(monitor->DriveCatalogue, monitor->options.ShowIn,
                                     monitor->Locale());
            }
        delivery.Deliver(core);
    }

    fakes::FakeRegistry registry;
    fakes::FakeVolumes volumes;
    FakeDelivery delivery;
    fakes::FakeClock clock;
    notify::NotifyCore core{delivery, clock};
    std::unique_ptr<app::Monitor> monitor;
    std::vector<int> messages;
    int evaluations = 0;
};

}  // namespace

TEST_CASE("over a sequence of refreshes an unmonitored watched drive fires every second time") {
    CycleFixture f;
    f.core.Load("6|tool.exe|0|0|D:|104857600|1|2||");
    f.monitor->FillDisks();
    REQUIRE_FALSE(f.monitor->EnabledDisks.Contains("D:"));
    // Free space on D: per refresh: below 100 MB for five refreshes, then above, then below.
    std::vector<int64_t> freeMb = {50, 50, 50, 50, 50, 500, 50, 50};
    std::vector<int> jobsAt;
    for (size_t i = 0; i < freeMb.size(); ++i) {
        f.volumes.SetSpace("D:", 1000 * MB, freeMb[i] * MB, freeMb[i] * MB);
        size_t before = f.delivery.jobs.size();
        f.monitor->SamplingPass();
        f.Pump();
        if (f.delivery.jobs.size() > before) jobsAt.push_back(static_cast<int>(i) + 1);
    }
    CHECK(f.evaluations == 8);
    CHECK(jobsAt == std::vector<int>{1, 3, 5, 7});
    CHECK(f.volumes.SpaceQueries("D:") >= 8);
}

TEST_CASE("without conditions the refresh asks for no evaluation") {
    CycleFixture f;
    f.monitor->FillDisks();
    f.monitor->SamplingPass();
    CHECK(f.volumes.SpaceQueries("D:") == 0);  // neither monitored nor watched
    f.Pump();
    CHECK(f.evaluations == 0);
}

TEST_CASE("a watched network folder is evaluated when its result arrives") {
    CycleFixture f;
    f.core.Load("1|Zelmora|0|0|\\\\srv\\share|104857600|1|2||");
    disks::DriveEntry folder;
    folder.Kind = disks::kNetworkFolder;
    folder.Name = "\\\\SRV\\share";
    f.monitor->DriveCatalogue = {folder};
    disks::RemoteResult r;
    r.name = "\\\\SRV\\share";
    r.kind = disks::kNetworkFolder;
    r.ok = true;
    r.capacity = 1000 * MB;
    r.free = r.available = 10 * MB;
    f.monitor->OnRemoteResult(r);
    f.Pump();
    CHECK(f.evaluations == 1);
    CHECK(f.delivery.jobs.size() == 1);
    // A result for a folder nobody watches asks for nothing.
    r.name = folder.Name = "\\\\other\\share";
    f.monitor->DriveCatalogue = {folder};
    f.monitor->OnRemoteResult(r);
    f.Pump();
    CHECK(f.evaluations == 1);
}
