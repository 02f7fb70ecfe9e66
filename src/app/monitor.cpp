#include "app/monitor.h"

#include "app/main_messages.h"
#include "common/text.h"
#include "disks/debug_log.h"
#include "disks/format.h"
#include "disks/sampling.h"

namespace app {

using disks::DriveEntry;
using disks::LogLine;
using disks::LogScope;

Monitor::Monitor(MonitorHost& host, MonitorServices services)
    : host_(host), services_(std::move(services)) {}

Monitor::~Monitor() {
    StopWorker();
}

LoadReport Monitor::LoadOptions() {
    LoadReport report = app::LoadOptions(*services_.registry, services_.keyPath, options,
                                         services_.screenWidth, services_.tools);
    unread_ = report.unread;
    EnabledDisks.SetText(options.EnabledDisks);
    DisabledDisks.SetText(options.DisabledDisks);
    TrayDisks.Clear();
    for (const std::string& t : text::Split(options.TrayDisks, ","))
        if (!text::Trim(t).empty()) TrayDisks.Add(text::Trim(t));
    return report;
}

bool Monitor::SaveOptions() {
    options.EnabledDisks = EnabledDisks.Text();
    options.DisabledDisks = DisabledDisks.Text();
    options.TrayDisks = text::Join(TrayDisks.Items(), ",");
    return app::SaveOptions(*services_.registry, services_.keyPath, options,
                            disks::FoldersListOf(DriveCatalogue), unread_ ? &*unread_ : nullptr);
}

void Monitor::Tick() {
    ++seconds_;
    if (seconds_ >= static_cast<int>(options.UpdateInterval)) {
        seconds_ = 0;
        host_.PostToSelf(kWmSample, 0);
    }
}

bool Monitor::Watched(const std::string& name) const {
    return conditions && conditions->Watches(name);
}

bool Monitor::TakesPart(const DriveEntry& e) const {
    return EnabledDisks.Contains(e.Name) || Watched(e.Name);
}

void Monitor::SetLabel(int index, const std::string& label) {
    if (index < static_cast<int>(DriveLabels.size()))
        DriveLabels[index] = label;
    else
        DriveLabels.push_back(label);
}

void Monitor::FillDisks() {
    LogScope scope("FillDisks");
    rows_.clear();
    host_.RowsRebuilt();
    DriveCatalogue.clear();
    DriveLabels.clear();
    disks::DriveTypeRules rules{options.ShowFixedDrives, options.ShowNetworkDrives,
                                options.ShowRamdisk};
    std::string folders = ReadRegString(*services_.registry, os::RegRoot::CurrentUser,
                                        services_.keyPath, "FoldersList");
    DriveCatalogue =
        disks::GetDisksList(*services_.volumes, rules, folders, EnabledDisks, DisabledDisks);
    std::vector<std::string> names;
    for (const DriveEntry& e : DriveCatalogue) {
        if (!EnabledDisks.Contains(e.Name) && !DisabledDisks.Contains(e.Name))
            EnabledDisks.Add(e.Name);
        names.push_back(e.Name);
    }
    LogLine("GetDisksList.Text = " + text::Join(names, "\r\n"));
    for (const DriveEntry& e : DriveCatalogue) {
        if (!EnabledDisks.Contains(e.Name)) {
            DriveLabels.push_back(" - ");
            continue;
        }
        // A network label comes with the worker's first answer.
        std::string label = disks::QueriedByWorker(e.Kind)
                                ? std::string()
                                : disks::VolumeLabelOf(*services_.volumes, e.Name, e.Kind);
        DriveLabels.push_back(label);
        LogLine("Get disk label for " + e.Name + ": " + label);
    }
    if (!DriveCatalogue.empty()) {
        AddDisks();
        host_.CatalogueRebuilt();
    }
}

void Monitor::AddDisks() {
    LogScope scope("AddDisks");
    bool network = false;
    for (int i = 0; i < static_cast<int>(DriveCatalogue.size()); ++i) {
        DriveEntry& e = DriveCatalogue[i];
        if (!EnabledDisks.Contains(e.Name)) continue;
        LogLine("Adding disk " + e.Name + "...");
        std::string caption =
            "  " +
            (e.IsFolder() ? disks::DisplayNameOf(*services_.volumes, e.Name, e.Kind) : e.Name);
        if (disks::QueriedByWorker(e.Kind)) {
            network = true;
            if (!remote_)
                remote_ = std::make_unique<disks::TGetRemote>(services_.makeWorkerVolumes(),
                                                              host_.RemoteDeliver());
        } else {
            e = disks::SampleDriveSpace(*services_.volumes, e);
        }
        ListRow row;
        row.entry = i;
        row.cells = CellTexts(i, caption);
        rows_.push_back(std::move(row));
        LogLine("Added.");
    }
    host_.RowsRebuilt();
    if (!network)
        StopWorker();
    else
        host_.PostToSelf(kWmSample, 0);
}

void Monitor::StopWorker() {
    if (!remote_) return;
    remote_->Stop();
    remote_.reset();
}

void Monitor::SamplingPass() {
    std::vector<disks::RemoteQuery> network;
    bool changed = false;
    for (int i = 0; i < static_cast<int>(DriveCatalogue.size()); ++i) {
        DriveEntry& e = DriveCatalogue[i];
        if (!TakesPart(e)) continue;
        if (disks::QueriedByWorker(e.Kind)) {
            network.push_back({e.Name, e.Kind});
            continue;
        }
        std::string label = disks::VolumeLabelOf(*services_.volumes, e.Name, e.Kind);
        SetLabel(i, label);
        if (e.Kind == disks::kCdRom && label.find(e.Name) != std::string::npos) {
            // The shell names an empty drive after its letter: no medium, no query.
            e.Used = e.Available = e.Capacity = e.Free = e.FreeChange = 0;
        } else {
            e = disks::SampleDriveSpace(*services_.volumes, e);
        }
        changed = true;
    }
    if (changed) {
        if (options.ShowLabels) host_.LabelsChanged();
        for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
            if (UpdateRowCells(r)) host_.RowChanged(r);
    }
    if (!network.empty()) {
        // A watched drive that is not monitored still needs its worker.
        if (!remote_)
            remote_ = std::make_unique<disks::TGetRemote>(services_.makeWorkerVolumes(),
                                                          host_.RemoteDeliver());
        // A busy worker skips this pass's list.
        remote_->Offer(std::move(network));
    }
    if (conditions && conditions->AnyCondition()) host_.PostToSelf(kWmCheckConditions, 0);
}

void Monitor::OnRemoteResult(const disks::RemoteResult& r) {
    int i = disks::IndexOfName(DriveCatalogue, r.name);
    if (i < 0) return;
    SetLabel(i, r.label);
    DriveEntry& e = DriveCatalogue[i];
    if (e.Kind == disks::kNetworkFolder) {
        // A folder keeps the rules of a local sample, only taken elsewhere.
        os::SpaceAnswer a;
        a.outcome = r.ok ? os::SpaceAnswer::Outcome::Ok : os::SpaceAnswer::Outcome::Failed;
        a.available = r.available;
        a.free = r.free;
        a.total = r.capacity;
        disks::ApplySpaceAnswer(a, e);
    } else {
        e.Capacity = r.capacity;
        e.Free = r.free;
        e.Available = r.available;
        e.Used = r.capacity - r.free;
    }
    host_.PostToSelf(kWmRefreshRow, i);
    if (Watched(r.name)) host_.PostToSelf(kWmCheckConditions, 0);
}

void Monitor::RefreshRow(int entryIndex) {
    if (entryIndex < 0 || entryIndex >= static_cast<int>(DriveCatalogue.size())) return;
    for (int r = static_cast<int>(rows_.size()) - 1; r >= 0; --r) {
        if (rows_[r].entry != entryIndex) continue;
        bool changed = UpdateRowCells(r);
        std::string name = DriveCatalogue[entryIndex].Name;
        for (const std::string& t : TrayDisks.Items())
            if (text::EqualsIgnoreCase(t.substr(0, 2), name)) host_.TrayDiskChanged(entryIndex);
        if (changed) host_.RowChanged(r);
        return;
    }
}

std::array<std::string, kColumnCount> Monitor::CellTexts(int i, const std::string& caption) const {
    const DriveEntry& e = DriveCatalogue[i];
    const os::LocaleFormats& loc = services_.locale;
    int unit = options.ShowIn;
    std::array<std::string, kColumnCount> c;
    c[kColName] = caption;
    c[kColLabel] = i < static_cast<int>(DriveLabels.size()) ? DriveLabels[i] : std::string();
    c[kColCapacity] = disks::FormatSize(e.Capacity, unit, loc);
    c[kColUsed] = disks::FormatSize(e.Used, unit, loc);
    c[kColFree] = disks::FormatSize(e.Free, unit, loc);
    c[kColAvailable] = disks::FormatSize(e.Available, unit, loc);
    c[kColPercent] = "";  // the list draws the bar
    return c;
}

bool Monitor::UpdateRowCells(int r) {
    ListRow& row = rows_[r];
    auto fresh = CellTexts(row.entry, row.cells[kColName]);
    bool changed = false;
    for (int c = kColLabel; c < kColumnCount; ++c) {
        if (row.cells[c] == fresh[c]) continue;
        row.cells[c] = fresh[c];
        host_.CellChanged(r, c);
        changed = true;
    }
    return changed;
}

}  // namespace app
