#pragma once
// The catalogue of supported devices: which HID interfaces the program drives (supported-interface
// table), which device pages exist (device-page table, with one device-layout row per page) and
// what the update check reports per product (product-identity table). The rows below are compiled
// in; a user may append rows for another product of the family in a JSON file (see
// LoadExtraRows). Compiled-in rows always come first and never change.
//
// Extra-rows file: $XDG_CONFIG_HOME/NQ501/devices.json (default ~/.config/NQ501/devices.json).
// {
//   "interfaces": [                      // appended to the supported-interface table
//     { "vendorId": "0x320F", "productId": "0x5042", "interface": 1, "collection": 4,
//       "kind": 2, "role": 0, "usagePage": "0xFF1C", "usage": "0x92",
//       "twin": 9 }                      // optional: index of the other link of the same device
//                                        // in the combined table; or "twinRow": its index in
//                                        // this file's "interfaces" array
//   ],
//   "pages": [                           // appended to the device-page and device-layout tables
//     { "kindName": "mouse", "ordinal": 4,
//       "vendorId": "0x320F", "productId": "0x5042", "kind": 2, "role": 0,
//       "lightingPoints": 6, "keyEntries": 7,
//       "layoutFile": "XML/DeviceXml/mousedevice.xml", "lightingFolder": "drovo_light" }
//   ]
// }
// Numbers are JSON integers or strings in hexadecimal ("0x...") or decimal; both arrays are
// optional. kind is 1, 2, 3, 6 or 7, role 0 or 255, ids and usages 0..65535, "twin" a valid slot
// index of the combined table other than the row's own, "twinRow" a valid index of the file's own
// rows (at most one of the two). The file must be a regular file of at most
// kMaxExtraRowsFileSize bytes with at most kMaxExtraInterfaces interface rows and kMaxExtraPages
// page rows; a row equal to an earlier one (IsSameSlot for interfaces, the four key numbers for
// pages) is refused. Any error (not a regular file, too large, unreadable JSON, wrong shape, a bad
// field, an unknown key, too many rows, a repeated row) rejects the whole file: it is reported
// through the diagnostics and ExtraRowsError(), and nothing is added.
#include "hid/DeviceSlot.h"

#include <string>
#include <vector>

namespace nq {

// A row of the device-page table.
struct DevicePage {
    std::string selectorFile;   // layout file of the selector entry
    std::string group;          // option group of the selector entries
    std::string powerTabLayout; // tab layout holding the per-device power controls
    std::string kindName;       // device kind name (also the device's data folder name)
    int unread1 = 0, unread2 = 0, unread3 = 0;
    int ordinal = 0;            // handed to the device object when its page is built
    int vendorId = 0;
    int productId = 0;
    int kind = 0;
    int role = 0;
};

// A row of the device-layout table; same order as the device-page table.
struct DeviceLayout {
    int lightingPoints = 0;   // LEDs, 3 bytes each in a lighting frame
    int keyEntries = 0;
    int powerDisplayKind = 0; // also: whether the device's status is polled
    int mousePageValue = 0;
    std::string pageLayoutFile;
    std::string lightingFolder;
};

// A row of the product-identity table (the update check's request list).
struct ProductIdentity {
    int productKind = 0;
    int flag = 0;
    int version = 0; // filled in at run time
    std::string vendor;
    std::string modelCode;
    std::string productName1;
    std::string productName2;
    std::string versionText;
};

// What discovery knows of one enumerated interface.
struct InterfaceCandidate {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    uint16_t kind = 0;
    uint16_t role = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::string path;
};

// The page built for one device-page row.
struct PageChoice {
    int pageRow = -1;   // the device-page row the page was built for
    int slotIndex = -1; // the slot of that row, -1 when the table has none
    int pageKind = 0;   // kind of the page built (a receiver mouse gets a mouse page)
    int layoutRow = -1; // device-page and device-layout row of the slot, -1 when none fits
};

class Catalogue {
public:
    static constexpr size_t kMaxExtraRowsFileSize = 64 * 1024;
    static constexpr size_t kMaxExtraInterfaces = 64;
    static constexpr size_t kMaxExtraPages = 16;

    // Compiled-in rows only.
    Catalogue();

    // The process-wide catalogue, read once: compiled-in rows, then the user's extra-rows file,
    // then, while the device simulator is in use (NQ501_SIM_DIR), the simulator's rows.
    static const Catalogue& Default();
    // $XDG_CONFIG_HOME/NQ501/devices.json, or ~/.config/NQ501/devices.json.
    static std::string ExtraRowsPath();
    // The rows that name the simulated devices' own identities, an extra-rows file installed
    // with the program: DefaultData/simdevices.json in the program folder.
    static std::string SimulatorRowsPath();

    // Appends the rows of an extra-rows file. A missing file is not an error (true, nothing
    // added); a malformed one is reported and changes nothing (false).
    bool LoadExtraRows(const std::string& path);
    // The same for a file's text; `source` names it in the diagnostics.
    bool LoadExtraRowsText(const std::string& text, const std::string& source);
    // Why the last extra-rows file was refused ("<source>: <reason>; extra device rows ignored"),
    // empty when it was not.
    const std::string& ExtraRowsError() const { return m_extraRowsError; }

    const std::vector<DeviceSlot>& SupportedInterfaces() const { return m_interfaces; }
    const std::vector<DevicePage>& DevicePages() const { return m_pages; }
    const std::vector<DeviceLayout>& DeviceLayouts() const { return m_layouts; }
    const std::vector<ProductIdentity>& ProductIdentities() const { return m_products; }

    // Index of the first device-page row with these four numbers, -1 if none.
    int FindDevicePage(int vendorId, int productId, int kind, int role) const;
    // Index of the first supported-interface row with these four numbers, -1 if none.
    int FindSlot(int vendorId, int productId, int kind, int role) const;

    // The page built for device-page row `pageRow` over the slot list (slot index = row index).
    PageChoice ChoosePage(int pageRow, const std::vector<DeviceSlot>& slots) const;

    // Discovery, before opening: some row has the candidate's vendor, product, interface and
    // collection numbers, and some slot with those four is free (not connected, empty path).
    bool IsCandidate(const InterfaceCandidate& candidate, const std::vector<DeviceSlot>& slots) const;
    // Discovery, after opening (ids from the attributes, usages from the capabilities): the first
    // row equal in those six values that still has a free slot equal to it in all eight values
    // gives kind and role to the candidate, and that slot is bound (connected = 1, path).
    // Returns its index, or -1 (the candidate is left unchanged).
    int BindSlot(InterfaceCandidate& candidate, std::vector<DeviceSlot>& slots) const;

private:
    std::vector<DeviceSlot> m_interfaces;
    std::vector<DevicePage> m_pages;
    std::vector<DeviceLayout> m_layouts;
    std::vector<ProductIdentity> m_products;
    std::string m_extraRowsError;
};

// Shorthands on Catalogue::Default().
int FindDevicePage(int vendorId, int productId, int kind, int role);
int FindSlot(int vendorId, int productId, int kind, int role);

} // namespace nq
