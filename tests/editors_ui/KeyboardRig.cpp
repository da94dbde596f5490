// The keyboard tests' rig (the keyboard's default profile in the data folders, simulator
// helpers), shared here.
#include "keyboard/KeyboardTestRig.cpp"
