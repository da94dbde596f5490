#pragma once
// What the key assignment editor needs from the device whose keys it edits.
#include "editors/KeyAssignment.h"

namespace nq {

class IKeyAssignmentTarget {
public:
    virtual ~IKeyAssignmentTarget() = default;
    // Stores the entry as the selected key's entry (key list and profile model); sends nothing.
    virtual void SetSelectedKeyEntry(const KeyEntry& entry) = 0;
    // Refreshes the key labels of the device page.
    virtual void RefreshKeyLabels() = 0;
    // Writes the macro memory: 0 when written, -1 out of memory, any other value: the macros do
    // not fit (the value is shown to the user).
    virtual int WriteMacrosToDevice() = 0;
    virtual int WriteAssignmentsToDevice(int bank) = 0;
    virtual void SaveProfile() = 0;
    // Drops the key edits the device does not hold yet: the key list, the profile and the labels
    // return to what the device holds; gives the selected key's entry. False when the device
    // keeps no such record (the editor then puts back the entry it loaded).
    virtual bool RevertKeyEdits(KeyEntry& selectedEntry)
    {
        (void)selectedEntry;
        return false;
    }
};

} // namespace nq
