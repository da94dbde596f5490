// The mouse tests' rig (data folders with a default profile, simulator helpers), shared here.
#include "mouse/MouseTestRig.cpp"
