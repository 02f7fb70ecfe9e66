#include "disks/remote.h"

#include <chrono>
#include <thread>

#include "disks/catalogue.h"
#include "disks/sampling.h"

namespace disks {

struct TGetRemote::State {
    std::unique_ptr<os::Volumes> volumes;
    Deliver deliver;
    std::atomic<int32_t> pending{0};
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::vector<RemoteQuery> queries;  // written by the main thread only while pending is 0
};

namespace {

RemoteResult Query(os::Volumes& volumes, const RemoteQuery& q) {
    RemoteResult r;
    r.name = q.name;
    r.kind = q.kind;
    r.label = VolumeLabelOf(volumes, q.name, q.kind);
    os::SpaceAnswer a = volumes.FreeSpace(q.name);
    if (a.outcome == os::SpaceAnswer::Outcome::Ok) {
        r.ok = true;
        r.available = a.available;
        r.free = a.free;
        r.capacity = a.total;
    }
    return r;
}

void Run(std::shared_ptr<TGetRemote::State> s) {
    using namespace std::chrono_literals;
    while (!s->stop) {
        if (s->pending <= 0) {
            std::this_thread::sleep_for(50ms);
            continue;
        }
        std::vector<RemoteQuery> queries = s->queries;
        for (const RemoteQuery& q : queries) {
            if (s->stop) break;
            RemoteResult r = Query(*s->volumes, q);
            if (s->stop) break;
            s->deliver(r);
        }
        --s->pending;
    }
    s->finished = true;
}

}  // namespace

TGetRemote::TGetRemote(std::unique_ptr<os::Volumes> volumes, Deliver deliver)
    : state_(std::make_shared<State>()) {
    state_->volumes = std::move(volumes);
    state_->deliver = std::move(deliver);
    std::thread(Run, state_).detach();
}

TGetRemote::~TGetRemote() {
    Stop();
}

bool TGetRemote::Idle() const {
    return state_->pending == 0;
}

bool TGetRemote::Offer(std::vector<RemoteQuery> queries) {
    if (state_->pending != 0) return false;
    state_->queries = std::move(queries);
    ++state_->pending;
    return true;
}

void TGetRemote::Stop() {
    state_->stop = true;
}

bool TGetRemote::Finished() const {
    return state_->finished;
}

}  // namespace disks
