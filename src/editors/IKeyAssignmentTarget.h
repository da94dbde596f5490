#pragma once
// What the key assignment editor needs from the device whose keys it edits.
#include "common/Result.h"
#include "editors/KeyAssignment.h"

#include <functional>

namespace nq {

// What became of a key save: the macro image first, then the key table.
struct KeySaveResult {
    // As WriteMacrosToDevice: 0 written (or no macros), -1 not written, N > 0 the events too many.
    int macros = 0;
    // The write's own result when the macro image was sent and refused or never reached the
    // device; kOk otherwise (also when the image could not be prepared).
    int macroWrite = kOk;
    // The key table write's result; only written when the macros were (kNotOpen otherwise).
    int keys = kNotOpen;
};

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
    // The key save of the editor: the macro image, then (when it was written) the key table of
    // `bank`. `done` gets the outcome on the caller's thread: later, through the event loop, for a
    // device that carries out its transfers on its own worker; here, before the call returns, by
    // default (the two writes in a row).
    virtual void SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done)
    {
        KeySaveResult result;
        result.macros = WriteMacrosToDevice();
        if (result.macros == 0)
            result.keys = WriteAssignmentsToDevice(bank);
        if (done)
            done(result);
    }
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
