// The page tests' skin set-up and the pad tests' rig, shared here.
#include "editors_ui/PageTestSupport.cpp"
#include "pads/PadTestRig.cpp"
