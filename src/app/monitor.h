// The brain of the main window: settings, drive catalogue, list rows and the
// refresh cycle, driven by timer ticks and messages. The window implements
// MonitorHost and forwards its timer and messages here, so the whole cycle
// runs (and is tested) without a window.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/settings.h"
#include "disks/catalogue.h"
#include "disks/name_list.h"
#include "disks/remote.h"
#include "os/locale.h"
#include "os/registry.h"
#include "os/volumes.h"

namespace app {

// List columns, in their fixed order.
enum ListColumn : int {
    kColName = 0,
    kColLabel,
    kColCapacity,
    kColUsed,
    kColFree,
    kColAvailable,
    kColPercent,
};

struct ListRow {
    int entry = -1;  // catalogue index
    std::array<std::string, kColumnCount> cells;
};

class MonitorHost {
  public:
    virtual ~MonitorHost() = default;
    virtual void PostToSelf(int message, intptr_t lParam) = 0;
    // Rows mirror Monitor::Rows(); these tell the view what changed.
    virtual void RowsRebuilt() = 0;
    virtual void CellChanged(int row, int column) = 0;
    virtual void RowChanged(int row) = 0;
    virtual void LabelsChanged() = 0;     // labels may need another column width
    virtual void CatalogueRebuilt() = 0;  // window height may change
    virtual void TrayDiskChanged(int entry) = 0;
    // How a network result reaches the main thread; it must return only after
    // OnRemoteResult has run there.
    virtual disks::TGetRemote::Deliver RemoteDeliver() = 0;
};

// What the notification conditions tell the refresh cycle.
class ConditionWatch {
  public:
    virtual ~ConditionWatch() = default;
    virtual bool AnyCondition() const = 0;
    virtual bool Watches(const std::string& driveName) const = 0;
};

struct MonitorServices {
    os::Registry* registry = nullptr;
    os::Volumes* volumes = nullptr;
    // A volumes object for the network worker's own use.
    std::function<std::unique_ptr<os::Volumes>()> makeWorkerVolumes;
    os::LocaleFormats locale;
    std::string keyPath = kSettingsKey;
    int screenWidth = 1024;
    ToolsEnvironment tools;
};

class Monitor {
  public:
    Monitor(MonitorHost& host, MonitorServices services);
    ~Monitor();

    Options options;
    disks::NameList EnabledDisks;
    disks::NameList DisabledDisks;
    disks::NameList TrayDisks{true};
    disks::DriveCatalogue DriveCatalogue;
    std::vector<std::string> DriveLabels;
    ConditionWatch* conditions = nullptr;

    LoadReport LoadOptions();
    bool SaveOptions();

    // Timer: counts seconds and asks for a sample every UpdateInterval.
    void Tick();
    void SetSeconds(int s) { seconds_ = s; }
    int Seconds() const { return seconds_; }

    void FillDisks();
    void SamplingPass();
    void OnRemoteResult(const disks::RemoteResult& r);
    void RefreshRow(int entryIndex);
    // A volume arrived or left.
    void OnVolumeChange() { FillDisks(); }
    // Close, log-off: the network worker is told to stop.
    void StopWorker();

    const std::vector<ListRow>& Rows() const { return rows_; }
    bool WorkerRunning() const { return remote_ != nullptr; }
    const os::LocaleFormats& Locale() const { return services_.locale; }
    const MonitorServices& Services() const { return services_; }
    void SetLocale(const os::LocaleFormats& l) { services_.locale = l; }

    // Row texts of an entry in the current unit.
    std::array<std::string, kColumnCount> CellTexts(int entryIndex,
                                                    const std::string& caption) const;

  private:
    void AddDisks();
    bool TakesPart(const disks::DriveEntry& e) const;
    bool Watched(const std::string& name) const;
    void SetLabel(int index, const std::string& label);
    // Writes the cells of a row that differ; true when one did.
    bool UpdateRowCells(int row);

    MonitorHost& host_;
    MonitorServices services_;
    std::vector<ListRow> rows_;
    int seconds_ = -1;
    std::unique_ptr<disks::TGetRemote> remote_;
    std::optional<UnreadValues> unread_;  // what the last load could not read
};

}  // namespace app
