#pragma once
// "nq501 --demo": the program runs on the device simulator with one device of each kind.

// Starts the simulator in a folder of this process and points the device layer at it
// (NQ501_SIM_DIR). Returns false when it cannot start (the program then runs without devices).
// Prints the folder, so `nq501-devsim --dir FOLDER ...` can plug, unplug and fault the devices.
bool StartDemoSimulator();
// Unplugs the simulated devices and removes their folder; nothing when no demo runs.
void StopDemoSimulator();
