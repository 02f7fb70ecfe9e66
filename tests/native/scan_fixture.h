// Runs scans over temp trees and records what they report.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_files.h"
#include "fakes/fake_volumes.h"
#include "os/files.h"
#include "scan/scan.h"

namespace fixture {

struct Event {
    char what;  // 'p' progress, 's' status, 'b' root begins, 'e' root ends, 'f' finished
    uint32_t value;
    int code;
};

class RecordingListener : public scan::ScanListener {
public:
    void Progress(int percent) override { Add({'p', static_cast<uint32_t>(percent), 0}); }
    void Status(uint32_t value, int code) override { Add({'s', value, code}); }
    void RootBegins() override { Add({'b', 0, 0}); }
    void RootEnds() override { Add({'e', 0, 0}); }
    void Finished(bool result, scan::ScanOutcome outcome) override {
        Add({'f', result ? 1u : 0u, static_cast<int>(outcome)});
    }
    std::vector<Event> Events() {
        std::lock_guard l(lock_);
        return events_;
    }
    bool Has(int code) {
        for (const auto& e : Events())
            if (e.what == 's' && e.code == code) return true;
        return false;
    }
    // Called from the scan thread, as a window message would arrive.
    std::function<void(const Event&)> onEvent;

private:
    void Add(const Event& e) {
        {
            std::lock_guard l(lock_);
            events_.push_back(e);
        }
        if (onEvent) onEvent(e);
    }
    std::mutex lock_;
    std::vector<Event> events_;
};

struct ScanRun {
    std::vector<scan::TFound> first, second, third;
    uint32_t fileCounter = 0, candidateCount = 0, duplicateCount = 0;
    bool resultFlag = false;
    scan::ScanOutcome outcome = scan::ScanOutcome::Completed;
    std::shared_ptr<RecordingListener> listener;
};

struct ScanEnv {
    std::shared_ptr<fakes::FakeFiles> files = std::make_shared<fakes::FakeFiles>();
    std::shared_ptr<fakes::FakeVolumes> volumes = std::make_shared<fakes::FakeVolumes>();
    fakes::FakeClock clock;

    ScanEnv() { clock.now = fakes::FakeClock::At(2024, 5, 6, 7, 8, 9); }

    // Runs the scan on this thread; the engine is destroyed before it returns.
    ScanRun Run(scan::ScanJob job, std::function<void(scan::TScan&)> before = {}) {
        ScanRun r;
        r.listener = std::make_shared<RecordingListener>();
        scan::ScanServices svc{files, volumes, r.listener, &clock, {}};
        auto engine = std::make_unique<scan::TScan>(std::move(job), svc);
        if (before) before(*engine);
        engine->Execute();
        r.first = engine->FirstList();
        r.second = engine->SecondList();
        r.third = engine->ThirdList();
        r.fileCounter = engine->FileCounter();
        r.candidateCount = engine->CandidateCount();
        r.duplicateCount = engine->DuplicateCount();
        r.resultFlag = engine->ResultFlag();
        r.outcome = engine->Outcome();
        engine.reset();
        return r;
    }
};

inline std::vector<std::string> Names(const std::vector<scan::TFound>& list) {
    std::vector<std::string> out;
    for (const auto& f : list) {
        size_t slash = f.path.find_last_of('/');
        out.push_back(f.path.substr(slash + 1));
    }
    return out;
}

}  // namespace fixture
