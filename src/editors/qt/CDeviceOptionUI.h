#pragma once
// The device tab of the selector ("DeviceOption", built from "XML\CustomControlXML\DeviceOption.xml"):
// icon and name of its device kind, the option that selects the device ("device_select"), the
// check that puts the device into synchronised lighting ("synchro_device_select"), and the host
// of the device's timers 1000-1005 on the UI thread:
//   1001 (500 ms after Start): OnConnected, then 1000 at 5 ms and, when the device polls its
//        status and its channel is open, 1005 at 5000 ms;
//   1000: OutputLightFrame, OnRefreshTickB, OnRefreshTickC, the preview refresh; again after
//        50 ms (plus a pause a failed frame asks for) while the channel is open;
//   1002 / 1003 / 1004 (one-shot): OnDeviceNotice / OnDeferredStepTwo / OnDeferredStepThree;
//   1005: PollStatus; again after 5000 ms while the device polls and its channel is open.
// Each timer stops when it fires and is armed again only as listed. SetTimer may be called from
// any thread (the notification thread arms 1002); the timer is then armed on the UI thread.
// The tab also delivers the results of the device's transfer worker to the UI thread (PostToUi),
// so the device's transfers never wait on the UI thread.
#include "devices/IDeviceTimerHost.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QTimer;

namespace nq {
class CKelvaskUSBDevice;
}

namespace nq::pages {

class CDeviceOptionUI : public QWidget, public IDeviceTimerHost {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "DeviceOption";
    static constexpr const char* kLayout = "XML\\CustomControlXML\\DeviceOption.xml";

    explicit CDeviceOptionUI(QWidget* parent = nullptr);
    ~CDeviceOptionUI() override;

    // Icon set and name key by device type (sub-kind for mousepads: 0 hard, 1 soft).
    void SetType(int type, int subKind = 0);
    int Type() const { return m_type; }
    int SubKind() const { return m_subKind; }
    QString IconStem() const { return m_stem; }
    QString NameKey() const { return m_nameKey; }
    // The four icons: normal, selected, synchronised normal, synchronised selected.
    QStringList IconPaths() const { return {m_normal, m_selected, m_syncNormal, m_syncSelected}; }

    void SetSynchronised(bool on);  // shows the synchronisation check
    void CheckSynchronised(bool on); // checks it
    bool IsSynchronised() const;
    bool IsSelected() const;
    void Select(bool on, bool notify = true);
    void BindPage(const QString& tabLayoutName, int index);
    QString BoundPageName() const;
    int BoundPageIndex() const;
    void SetGroup(const QString& group);
    void SetName(const QString& text);
    void SetDisplayIndex(int index) { m_displayIndex = index; }
    int DisplayIndex() const { return m_displayIndex; }
    void SetPreviewFollowsSelection(bool on) { m_previewFollows = on; }

    // Power page binding used by the selector (-1: none).
    void BindPowerPage(const QString& tabLayoutName, int index);
    QString PowerPageName() const { return m_powerPageName; }
    int PowerPageIndex() const { return m_powerPageIndex; }
    // Kind and role of the tab's device-page row, and the device kind name.
    void SetRow(int kind, int role, const QString& kindName);
    int RowKind() const { return m_rowKind; }
    int RowRole() const { return m_rowRole; }
    QString KindName() const { return m_kindName; }

    void AttachDevice(CKelvaskUSBDevice* device) { m_device = device; }
    CKelvaskUSBDevice* Device() const { return m_device; }
    // The device has connected: its timed work starts 500 ms from now.
    void Start();
    // Raises "selectchanged" on the tab.
    void Activate();

    // IDeviceTimerHost
    void SetTimer(int id, uint32_t periodMs) override;
    void KillTimer(int id) override;
    bool CanPostToUi() const override { return true; }
    void PostToUi(std::function<void()> task) override;
    bool IsTimerArmed(int id) const;

    QWidget* Option() const;
    QWidget* SyncCheck() const;
    QWidget* NameLabel() const;

private:
    void OnTimer(int id);
    void ApplyIcons();
    QWidget* Child(const char* name, QPointer<QWidget>& cache) const;

    int m_type = 0;
    int m_subKind = 0;
    QString m_stem, m_nameKey, m_normal, m_selected, m_syncNormal, m_syncSelected;
    int m_displayIndex = -1;
    bool m_previewFollows = true;
    QString m_powerPageName;
    int m_powerPageIndex = -1;
    int m_rowKind = 0, m_rowRole = 0;
    QString m_kindName;
    CKelvaskUSBDevice* m_device = nullptr;
    QHash<int, QTimer*> m_timers;
    mutable QPointer<QWidget> m_option, m_syncCheck, m_nameLabel;
};

} // namespace nq::pages
