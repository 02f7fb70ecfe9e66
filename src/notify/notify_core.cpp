#include "notify/notify_core.h"

#include "common/text.h"
#include "disks/debug_log.h"
#include "notify/condition_text.h"
#include "notify/evaluation.h"
#include "notify/stored_conditions.h"

namespace notify {

void NotifyCore::Load(const std::string& stored) {
    list_.clear();
    LoadConditions(list_, stored);
}

std::string NotifyCore::Stored() const {
    return SaveConditions(list_);
}

bool NotifyCore::Watches(const std::string& driveName) const {
    for (const auto& c : list_)
        if (text::EqualsIgnoreCase(c->Disk, driveName)) return true;
    return false;
}

void NotifyCore::CheckConditions(const disks::DriveCatalogue& catalogue, int showIn,
                                 const os::LocaleFormats& locale) {
    disks::LogScope scope("CheckConditions");
    notify::CheckConditions(
        list_, catalogue, [&](const std::shared_ptr<TCondition>& c, int64_t amount) {
            std::string text = NotificationText(*c, amount, showIn, locale, clock_.Now());
            std::optional<uint32_t> ticket = fired_.Put({c, std::move(text)});
            if (!ticket) return;
            if (!host_.PostConditionFired(*ticket)) fired_.Take(*ticket);
        });
}

void NotifyCore::OnConditionFired(uint32_t ticket, bool stayOnTop) {
    std::optional<FiredRequest> request = fired_.Take(ticket);
    if (!request) return;
    std::shared_ptr<TCondition> c = request->condition.lock();
    // The list was replaced since the condition fired.
    if (!c) return;
    // A delivery for this condition is still running (its box still open).
    if (c->JobRunning()) return;
    if (c->NtfWay == kWayMessageBox && !stayOnTop) host_.BringToFront();
    auto link = std::make_shared<JobLink>();
    c->Job = link;
    JobOrder order;
    order.Way = c->NtfWay;
    order.Text = std::move(request->text);
    order.Param = c->NtfParam;
    order.Condition = link;
    if (!host_.StartJob(std::move(order))) link->running = false;
}

}  // namespace notify
