// A hand-over of values between threads by ticket number: the sender puts a
// value in and posts only the ticket; the receiver takes the value out. Unlike
// an atom, the value can be of any length. Bounded, so a receiver that stops
// taking cannot make it grow without end.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace notify {

template <class T>
class TicketBox {
  public:
    static constexpr size_t kCapacity = 1024;

    // The ticket (never 0), or nothing when the box is full.
    std::optional<uint32_t> Put(T value) {
        std::lock_guard lock(lock_);
        if (items_.size() >= kCapacity) return std::nullopt;
        do {
            ++last_;
        } while (last_ == 0 || items_.count(last_));
        items_.emplace(last_, std::move(value));
        return last_;
    }

    // The value of a ticket, removed from the box; nothing for an unknown ticket.
    std::optional<T> Take(uint32_t ticket) {
        std::lock_guard lock(lock_);
        auto it = items_.find(ticket);
        if (it == items_.end()) return std::nullopt;
        T value = std::move(it->second);
        items_.erase(it);
        return value;
    }

    size_t Size() const {
        std::lock_guard lock(lock_);
        return items_.size();
    }

  private:
    mutable std::mutex lock_;
    std::map<uint32_t, T> items_;
    uint32_t last_ = 0;
};

}  // namespace notify
