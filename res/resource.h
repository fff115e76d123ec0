// resource.h - identifiers of the engine's resources.
#pragma once

#define IDS_ENGINE_NAME 1    // caption of every engine message box
#define IDS_BROWSE_TITLE 2   // title of the open-file dialog
#define IDS_FILE_FILTER 3    // filter list, fields ended by '|'
#define IDS_VERSION_PREFIX 4 // "Version "
#define IDS_RULE_SEPARATOR 5 // " → " between source and replacement
#define IDS_LOAD_FAILED 100
#define IDS_FILE_MISSING 101

#define IDD_ABOUT 101
#define IDD_SETTING 102

#define IDC_DEFFILE 1000
#define IDC_BROWSE 1001
#define IDC_VERSION 1002
#define IDC_RULES 1003
