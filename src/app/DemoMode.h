#pragma once
// "nq501 --demo": the program runs on the device simulator with one device of each kind.

// Starts the simulator and points the device layer at it. Returns false when it cannot start
// (the program then runs without devices).
bool StartDemoSimulator();
