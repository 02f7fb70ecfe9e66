// The main window's side of notifications, without the window: it owns the
// condition list, evaluates it after every refresh, hands each fired
// condition over by a posted message and starts its delivery job.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "app/monitor.h"
#include "disks/catalogue.h"
#include "notify/condition.h"
#include "notify/ticket_box.h"
#include "os/clock.h"
#include "os/locale.h"

namespace notify {

// What a delivery job is started with. It holds the condition's job link and
// copies of the texts, never the condition itself.
struct JobOrder {
    int Way = kWayMessageBox;
    std::string Text;
    std::string Param;
    std::shared_ptr<JobLink> Condition;
};

class DeliveryHost {
  public:
    virtual ~DeliveryHost() = default;
    // Posts "a condition fired" with the ticket to the main window; false
    // when the message could not be posted.
    virtual bool PostConditionFired(uint32_t ticket) = 0;
    // Puts the main window in front so that the message box it owns shows
    // in front of other windows.
    virtual void BringToFront() = 0;
    // Starts the job on a thread of its own; false when it could not start.
    virtual bool StartJob(JobOrder order) = 0;
};

class NotifyCore : public app::ConditionWatch {
  public:
    NotifyCore(DeliveryHost& host, os::Clock& clock) : host_(host), clock_(clock) {}

    ConditionList& Conditions() { return list_; }
    const ConditionList& Conditions() const { return list_; }

    // The list from the stored setting, every condition armed.
    void Load(const std::string& stored);
    std::string Stored() const;

    // app::ConditionWatch: what the refresh cycle samples and when it asks
    // for an evaluation.
    bool AnyCondition() const override { return !list_.empty(); }
    bool Watches(const std::string& driveName) const override;

    // One evaluation (after a refresh, or a watched network drive's result).
    void CheckConditions(const disks::DriveCatalogue& catalogue, int showIn,
                         const os::LocaleFormats& locale);

    // The handler of a posted "condition fired": the request is always taken
    // out; it is dropped when its condition is gone or still has a job.
    void OnConditionFired(uint32_t ticket, bool stayOnTop);

    // Requests posted and not handled yet.
    size_t PendingRequests() const { return fired_.Size(); }

  private:
    struct FiredRequest {
        std::weak_ptr<TCondition> condition;
        std::string text;
    };

    DeliveryHost& host_;
    os::Clock& clock_;
    ConditionList list_;
    TicketBox<FiredRequest> fired_;
};

}  // namespace notify
