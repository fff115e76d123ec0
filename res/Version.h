// Version.h - the engine's version, written here only: the version record
// and the release archive's name (tools/dist.py) take it from this file.
#pragma once

#define VARIO_VERSION_NUMBER 1, 0, 0, 1
#define VARIO_VERSION_TEXT "1.00"
