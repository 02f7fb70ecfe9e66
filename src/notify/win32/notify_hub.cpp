#include "notify/win32/notify_hub.h"

#include "app/main_messages.h"
#include "intl/messages.h"
#include "notify/win32/exec_ntf.h"
#include "os/win32/system.h"

namespace notify::win32 {

NotifyHub::NotifyHub(app::Monitor& monitor, os::Clock& clock)
    : monitor_(monitor), core_(*this, clock), events_(std::make_shared<EventRelay>(nullptr)) {}

NotifyHub::~NotifyHub() {
    events_->Detach();
}

void NotifyHub::Attach(HWND mainWindow) {
    window_ = mainWindow;
    events_->Detach();
    events_ = std::make_shared<EventRelay>(mainWindow);
}

void NotifyHub::RegisterEventSource(const std::string& programFolderSlash) {
    std::unique_ptr<os::Registry> registry = os::win32::MakeRegistry();
    if (eventLog_.Register(*registry, programFolderSlash) == TEventLog::Registration::Ok) return;
    MessageBoxW(window_, L"Unable to register event source.", L"Zelmora", MB_OK | MB_ICONERROR);
}

bool NotifyHub::HandleMessage(UINT msg, WPARAM w, LPARAM) {
    switch (msg) {
        case app::kWmCheckConditions:
            core_.CheckConditions(monitor_.DriveCatalogue, monitor_.options.ShowIn,
                                  monitor_.Locale());
            return true;
        case app::kWmConditionFired:
            core_.OnConditionFired(static_cast<uint32_t>(w), monitor_.options.StayOnTop);
            return true;
        case app::kWmWriteEventLog:
            if (std::optional<std::string> text = events_->Take(static_cast<uint32_t>(w)))
                eventSink_->Write(*text);
            return true;
    }
    return false;
}

bool NotifyHub::PostConditionFired(uint32_t ticket) {
    return window_ && PostMessageW(window_, app::kWmConditionFired, ticket, 0);
}

void NotifyHub::BringToFront() {
    if (!window_) return;
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool NotifyHub::StartJob(JobOrder order) {
    auto job = std::make_unique<TExecNtf>();
    job->Way = order.Way;
    job->Text = std::move(order.Text);
    job->Param = std::move(order.Param);
    job->OwnerWindow = window_;
    job->Condition = std::move(order.Condition);
    if (job->Way == kWayEmail) {
        const app::Options& o = monitor_.options;
        job->Mail = {o.SMTPSrv,  o.SMTPLogin,    o.SMTPPassword,
                     o.SMTPAuth, intl::Msg(151), intl::Msg(152)};
    }
    if (job->Way == kWayEventLog) job->Events = events_;
    return TExecNtf::Start(std::move(job));
}

}  // namespace notify::win32
