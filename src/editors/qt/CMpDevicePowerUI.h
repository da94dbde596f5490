#pragma once
// The power display of a device page ("MpDevicePower", built from
// "XML\CustomControlXML\MpDevicePower.xml"): battery percentage and bar, wireless symbol,
// charging icon and, on the charging mousepad, the phone lying on it.
#include "devices/IPowerDisplay.h"

#include <QPointer>
#include <QWidget>

namespace nq::pages {

class CMpDevicePowerUI : public QWidget, public IPowerDisplay {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "MpDevicePower";
    static constexpr const char* kLayout = "XML\\CustomControlXML\\MpDevicePower.xml";

    explicit CMpDevicePowerUI(QWidget* parent = nullptr);

    // The device kind shown (3: the charging mousepad shows its phone) and the page row's role.
    void SetKind(int kind, int role = 0);
    int Kind() const { return m_kind; }

    // IPowerDisplay: up to 64 bytes of the status report, shorter ones padded with zeros.
    void Update(const uint8_t* status, size_t length) override;
    void SetPowerLayoutVisible(bool visible) override;

private:
    int m_kind = 0;
    int m_role = 0;
};

} // namespace nq::pages
