// Folder listings fetched ahead of the walk. Listing and sizing entries is
// nearly all the walk's time, and most of it is waiting for the system, so
// helper threads list the subfolders of the folder being walked while the
// walk takes its files; the walk still visits everything in its own order.
#pragma once
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/files.h"

namespace scan {

struct Listing {
    struct Item {
        size_t nameAt, nameLength;
        os::DirEntry entry;  // name filled in by EntryAt
    };
    bool ok = false;
    std::string names;
    std::vector<Item> items;
    os::DirEntry EntryAt(size_t i) const {
        os::DirEntry e = items[i].entry;
        e.name = std::string_view(names).substr(items[i].nameAt, items[i].nameLength);
        return e;
    }
};

Listing ListFolder(os::Files& files, const std::string& folder);

class FolderPrefetch {
public:
    // threads 0: every listing is made by Take itself.
    FolderPrefetch(os::Files& files, int threads);
    ~FolderPrefetch();
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    // Asks for a listing that Take will want soon.
    void Prefetch(const std::string& folder);
    // The listing of folder: the prefetched one, or made now.
    Listing Take(const std::string& folder);

private:
    enum class State { Queued, Running, Done };
    struct Job {
        State state = State::Queued;
        Listing listing;
    };
    void Work();

    os::Files& files_;
    std::mutex lock_;
    std::condition_variable changed_;  // a listing is done
    std::condition_variable work_;     // there is a folder to list
    int idle_ = 0;                     // helpers waiting for work
    std::map<std::string, std::shared_ptr<Job>> jobs_;
    std::vector<std::string> stack_;  // newest first: what the walk needs soonest
    bool quit_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace scan
