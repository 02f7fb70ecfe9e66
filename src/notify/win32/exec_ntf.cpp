#include "notify/win32/exec_ntf.h"

#include <system_error>
#include <thread>

#include "notify/mail.h"
#include "notify/win32/delivery_ways.h"
#include "notify/win32/mail_win32.h"

namespace notify::win32 {

namespace {

void Finish(TExecNtf& job) {
    if (job.Condition) job.Condition->running = false;
}

}  // namespace

bool TExecNtf::Start(std::unique_ptr<TExecNtf> job) {
    std::shared_ptr<JobLink> link = job->Condition;
    try {
        std::thread([job = std::move(job)] {
            try {
                job->Run();
            } catch (...) {
                // Nothing leaves the job's thread.
            }
            Finish(*job);
        }).detach();
        return true;
    } catch (const std::system_error&) {
        // No thread: the job is gone, and the condition must not stay linked.
        if (link) link->running = false;
        return false;
    }
}

void TExecNtf::SendMail() {
    BoxMailNotices notices;
    MailEnvironment env;
    env.connector = &os::SystemTcpConnector();
    env.notices = &notices;
    env.date = MailDateNow();
    env.notSetProperly = Mail.notSetProperly;
    env.howToAdjust = Mail.howToAdjust;
    SendNotificationMail(Mail.server, Mail.userName, Mail.storedPassword, Param, Text,
                         Mail.authenticate, env);
}

void TExecNtf::Run() {
    switch (Way) {
        case kWaySound:
            PlaySoundNotification(Param);
            break;
        case kWayMessageBox:
            ShowNotificationBox(OwnerWindow, Text, Param);
            break;
        case kWayEmail:
            SendMail();
            break;
        case kWayNetSend:
            if (IsWindows9x())
                SendWinPopup(Param, Text);
            else
                SendNetMessage(Param, Text);
            break;
        case kWayEventLog:
            if (Events) Events->Post(Text);
            break;
        case kWayExecute:
            StartProgram(CommandLineFor(Param));
            break;
        default:
            break;  // the retired way and unknown codes deliver nothing
    }
}

}  // namespace notify::win32
