// Volumes as a test describes them: drive letters with types, answers and labels.
#pragma once
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common/text.h"
#include "os/volumes.h"

namespace fakes {

struct FakeVolume {
    int type = os::kDriveFixed;
    os::SpaceAnswer space{os::SpaceAnswer::Outcome::Ok, 0, 0, 0};
    bool hasInfo = true;
    os::VolumeDetails details;
    std::string shellName;
    std::chrono::milliseconds delay{0};  // how long a free-space query takes
};

class FakeVolumes : public os::Volumes {
  public:
    // Keys: "C:" for drives, any path for folders (case-insensitive).
    FakeVolume& operator[](const std::string& name) {
        std::lock_guard l(lock);
        return volumes[Key(name)];
    }
    void Remove(const std::string& name) {
        std::lock_guard l(lock);
        volumes.erase(Key(name));
    }
    void SetSpace(const std::string& name, int64_t total, int64_t free, int64_t available) {
        std::lock_guard l(lock);
        volumes[Key(name)].space = {os::SpaceAnswer::Outcome::Ok, available, total, free};
    }

    uint32_t LogicalDrives() override {
        std::lock_guard l(lock);
        uint32_t mask = 0;
        for (const auto& [k, v] : volumes)
            if (k.size() == 2 && k[1] == ':') mask |= 1u << (k[0] - 'a');
        return mask;
    }
    int DriveType(const std::string& root) override {
        std::lock_guard l(lock);
        auto it = volumes.find(Key(root));
        return it == volumes.end() ? os::kDriveNoRoot : it->second.type;
    }
    os::SpaceAnswer FreeSpace(const std::string& path) override {
        FakeVolume v;
        {
            std::lock_guard l(lock);
            ++spaceQueries[Key(path)];
            auto it = volumes.find(Key(path));
            if (it == volumes.end()) return {};
            v = it->second;
        }
        if (v.delay.count()) std::this_thread::sleep_for(v.delay);
        return v.space;
    }
    bool VolumeInfo(const std::string& root, os::VolumeDetails& out) override {
        std::lock_guard l(lock);
        ++infoQueries[Key(root)];
        auto it = volumes.find(Key(root));
        if (it == volumes.end() || !it->second.hasInfo) return false;
        out = it->second.details;
        return true;
    }
    std::string ShellDisplayName(const std::string& path) override {
        std::lock_guard l(lock);
        auto it = volumes.find(Key(path));
        return it == volumes.end() ? std::string() : it->second.shellName;
    }

    int SpaceQueries(const std::string& name) {
        std::lock_guard l(lock);
        return spaceQueries[Key(name)];
    }
    int InfoQueries(const std::string& name) {
        std::lock_guard l(lock);
        return infoQueries[Key(name)];
    }

    std::mutex lock;
    std::map<std::string, FakeVolume> volumes;
    std::map<std::string, int> spaceQueries, infoQueries;

  private:
    // "C:\" and "C:" are the same volume.
    static std::string Key(std::string s) {
        if (s.size() > 1 && s.back() == '\\') s.pop_back();
        return text::LowerAscii(s);
    }
};

// A volumes object of its own for the network worker, answering from a fake
// the test keeps and changes; the worker keeps that fake alive.
class ForwardingVolumes : public os::Volumes {
  public:
    explicit ForwardingVolumes(std::shared_ptr<FakeVolumes> to) : to_(std::move(to)) {}
    uint32_t LogicalDrives() override { return to_->LogicalDrives(); }
    int DriveType(const std::string& r) override { return to_->DriveType(r); }
    os::SpaceAnswer FreeSpace(const std::string& p) override { return to_->FreeSpace(p); }
    bool VolumeInfo(const std::string& r, os::VolumeDetails& d) override {
        return to_->VolumeInfo(r, d);
    }
    std::string ShellDisplayName(const std::string& p) override { return to_->ShellDisplayName(p); }

  private:
    std::shared_ptr<FakeVolumes> to_;
};

}  // namespace fakes
