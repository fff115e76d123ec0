// VarioExports.h - the eight functions a host calls, by name, as the header
// shipped to host authors declares them.
#pragma once
#include "VarioEngine.h"

// The version of the interface between host and engine that these
// functions make: TFEGetAPIVersion's answer.
const DWORD kVarioApiVersion = TFE_API_VERSION;
