// TGetRemote: the worker thread that queries network drives and folders so
// that a slow or unreachable server never holds up the main thread.
//
// The main thread hands over a list only while the worker is idle (pending 0)
// and then increments pending; the worker decrements it after the whole list.
// Each result is delivered synchronously: the worker waits until the main
// thread has taken it, and never touches the catalogue itself.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "os/volumes.h"

namespace disks {

struct RemoteQuery {
    std::string name;
    uint8_t kind = 0;
};

struct RemoteResult {
    std::string name;
    uint8_t kind = 0;
    std::string label;
    bool ok = false;
    int64_t available = -1, free = -1, capacity = -1;  // -1 each when the query failed
};

class TGetRemote {
  public:
    // deliver runs on the worker thread and returns once the main thread has
    // handled the result (a sent window message on Windows). The worker keeps
    // it, and what it captures, alive until the thread ends. The main thread
    // must never block waiting for the worker: a delivery may be in flight.
    using Deliver = std::function<void(const RemoteResult&)>;

    // The worker owns its volumes object; the thread runs until Stop() and then
    // ends on its own, so the owner never waits for a hanging query.
    TGetRemote(std::unique_ptr<os::Volumes> volumes, Deliver deliver);
    ~TGetRemote();  // asks the worker to stop
    TGetRemote(const TGetRemote&) = delete;
    TGetRemote& operator=(const TGetRemote&) = delete;

    bool Idle() const;
    // Hands over a list when idle; false (and nothing changes) when busy.
    bool Offer(std::vector<RemoteQuery> queries);
    // Asks the worker to end after the query in progress; does not wait.
    void Stop();
    // The thread has ended (tests wait for this).
    bool Finished() const;

    struct State;  // shared by the owner and the thread

  private:
    std::shared_ptr<State> state_;
};

}  // namespace disks
