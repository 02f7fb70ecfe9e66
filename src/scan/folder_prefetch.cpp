#include "scan/folder_prefetch.h"

namespace scan {

Listing ListFolder(os::Files& files, const std::string& folder) {
    Listing l;
    l.ok = files.List(folder, [&](const os::DirEntry& e) {
        Listing::Item item{l.names.size(), e.name.size(), e};
        item.entry.name = {};
        l.names.append(e.name);
        l.items.push_back(item);
        return true;
    });
    return l;
}

FolderPrefetch::FolderPrefetch(os::Files& files, int threads) : files_(files) {
    for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

FolderPrefetch::~FolderPrefetch() {
    {
        std::lock_guard l(lock_);
        quit_ = true;
    }
    work_.notify_all();
    for (auto& t : workers_) t.join();
}

void FolderPrefetch::Prefetch(const std::string& folder) {
    if (workers_.empty()) return;
    {
        std::lock_guard l(lock_);
        if (jobs_.count(folder)) return;
        jobs_.emplace(folder, std::make_shared<Job>());
        stack_.push_back(folder);
        if (idle_ == 0) return;  // the helpers will find it when they look again
    }
    work_.notify_one();
}

Listing FolderPrefetch::Take(const std::string& folder) {
    std::shared_ptr<Job> job;
    {
        std::unique_lock l(lock_);
        auto it = jobs_.find(folder);
        if (it != jobs_.end()) {
            job = it->second;
            if (job->state == State::Queued) {
                jobs_.erase(it);  // not started: quicker to list it here
                job.reset();
            } else {
                changed_.wait(l, [&] { return job->state == State::Done; });
                jobs_.erase(folder);
                return std::move(job->listing);
            }
        }
    }
    return ListFolder(files_, folder);
}

void FolderPrefetch::Work() {
    for (;;) {
        std::string folder;
        std::shared_ptr<Job> job;
        {
            std::unique_lock l(lock_);
            ++idle_;
            work_.wait(l, [&] { return quit_ || !stack_.empty(); });
            --idle_;
            if (quit_) return;
            folder = std::move(stack_.back());
            stack_.pop_back();
            auto it = jobs_.find(folder);
            if (it == jobs_.end() || it->second->state != State::Queued) continue;
            job = it->second;
            job->state = State::Running;
        }
        Listing listing;
        try {
            listing = ListFolder(files_, folder);
        } catch (...) {
            listing = Listing{};  // out of memory: the folder counts as unreadable
        }
        {
            std::lock_guard l(lock_);
            job->listing = std::move(listing);
            job->state = State::Done;
        }
        changed_.notify_all();
    }
}

}  // namespace scan
