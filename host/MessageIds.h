// MessageIds.h - the names of vario-try's messages, for its string tables
// (Messages.en.rc, Messages.ja.rc) and its code. Every message is in both
// tables; the ids run from 1000 to 1999. %1 ... %9 stand for the message's
// arguments.
#pragma once

// The run.
#define IDS_ERR_DIALOG_NEEDS_DISPLAY 1000
#define IDS_ERR_WINDOWS_NEEDS_DISPLAY 1001
#define IDS_OUT_OF_MEMORY 1002
#define IDS_ERR_CANNOT_READ_DEF 1003      // %1 path, %2 why
#define IDS_ERR_CANNOT_READ_CAPTIONS 1004 // %1 path, %2 why
#define IDS_RUN_CHECKING 1005             // %1 expected file, %2 definition file
#define IDS_RUN_COVERAGE 1006             // %1 definition file, %2 captions file
#define IDS_RUN_RECORDING 1007            // %1 definition file, %2 captions file or windows
#define IDS_RECORD_HEADER 1008            // after "// ": %1 definition file, %2 as above
#define IDS_RECORD_THE_WINDOWS 1009
#define IDS_AT_WINDOW 1010               // %1 number
#define IDS_AT_CAPTION 1011              // %1 number
#define IDS_RECORD_LEFT_OUT 1012         // %1 why
#define IDS_WARN_DEF_FILE 1013           // %1 path, %2 what is wrong, %3 the command
#define IDS_SAVE_AS_SJIS 1014            // %1 path, %2 path of the copy
#define IDS_LOST_AT 1015                 // %1 character, %2 "U+XXXX", %3 where
#define IDS_NOTE_LOST_ONE 1016           // %1 count, %2 IDS_LOST_AT
#define IDS_NOTE_LOST_MANY 1017          // %1 count, %2 IDS_LOST_AT
#define IDS_ERR_CANNOT_LOAD_ENGINE 1018  // %1 path, %2 why
#define IDS_ERR_API_VERSION 1019         // %1 path, %2 its version, %3 ours
#define IDS_ERR_CANNOT_STORE_PATH 1020   // %1 key
#define IDS_ERR_CANNOT_LOAD_DEF 1021     // %1 path
#define IDS_ERR_CANNOT_LOAD_DEF_WHY 1022 // %1 path, %2 why
#define IDS_HINT_CHOSEN_EARLIER 1023
#define IDS_NOT_WHOLE 1024
#define IDS_PROMPT_CONSOLE 1025  // %1 the definition file or IDS_PROMPT_NO_RULES
#define IDS_PROMPT_TERMINAL 1026 // %1 as above
#define IDS_PROMPT_NO_RULES 1027
#define IDS_ERR_INPUT_NOT_TEXT 1028 // %1 "UTF-8" or IDS_CODE_PAGE, %2 line
#define IDS_CODE_PAGE 1029          // %1 number
#define IDS_HINT_HELP 1030          // %1 the command
#define IDS_INTERNAL_ERROR 1031

// The command line.
#define IDS_ERR_NO_CODE_IN_932 1100 // %1 option, %2 name, %3 character, %4 "U+XXXX"
#define IDS_ERR_ONE_MODE 1101       // %1, %2 options
#define IDS_ERR_UNKNOWN_OPTION 1102 // %1 option
#define IDS_ERR_NEEDS_FILE 1103     // %1 option
#define IDS_ERR_EXPLAIN_ALONE 1104
#define IDS_ERR_TRACE_OPTIONS 1105
#define IDS_ERR_MODE_NEEDS_DEF 1106 // %1 option
#define IDS_ERR_ONE_ENCODING 1107
#define IDS_ERR_WINDOWS_OPTIONS 1108
#define IDS_ERR_COUNTS_NEEDS_COVERAGE 1109
#define IDS_ERR_REMEMBER_NEEDS_DEF 1110
#define IDS_ERR_UNKNOWN_LANGUAGE 1111 // %1 the word

// --explain; the labels of its lines are padded to one width.
#define IDS_EXPLAIN_TITLE 1200 // %1 path
#define IDS_LINE_SECTION 1201
#define IDS_LINE_COMMENT 1202
#define IDS_LINE_EMPTY 1203
#define IDS_LINE_IGNORED 1204
#define IDS_LINE_RULE 1205
#define IDS_IGNORED_NO_COMMA 1206
#define IDS_IGNORED_TRAIL_COMMA 1207 // %1 the lead byte, named
#define IDS_WARN_FULL_WIDTH_COMMA 1208
#define IDS_WARN_EMPTY_SOURCE 1209
#define IDS_WARN_CR_CR_LF 1210
#define IDS_WARN_CR_INSIDE 1211
#define IDS_WARN_INDENTED_COMMENT 1212
#define IDS_WARN_NOT_SECTION 1213  // %1 what follows the ']'
#define IDS_WARN_SAME_SOURCE 1214  // %1 line
#define IDS_WARN_EARLIER_RULE 1215 // %1 line, %2 its source
#define IDS_FILE_IS_UTF8 1216
#define IDS_FILE_HAS_BOM 1217
#define IDS_FILE_NO_RULES 1218
#define IDS_LIST_COMMA 1219
#define IDS_LIST_AND 1220
#define IDS_WARN_FILE_UTF8 1221
#define IDS_WARN_FILE_BOM 1222
#define IDS_WARN_FILE_NO_RULES 1223
#define IDS_EXPLAIN_TOTALS 1224 // %1 lines, %2 rules, %3 warnings: IDS_COUNT_*
#define IDS_COUNT_LINE 1225     // %1 the number, and so on
#define IDS_COUNT_LINES 1226
#define IDS_COUNT_RULE 1227
#define IDS_COUNT_RULES 1228
#define IDS_COUNT_WARNING 1229
#define IDS_COUNT_WARNINGS 1230
#define IDS_COUNT_CAPTION 1231
#define IDS_COUNT_CAPTIONS 1232

// --check and its file.
#define IDS_DIFF_AT_START 1300 // %1 expected, %2 actual
#define IDS_DIFF_AFTER 1301    // %1 expected, %2 actual, %3 the common start
#define IDS_CHECK_EXPECTED 1302
#define IDS_CHECK_ACTUAL 1303
#define IDS_CHECK_DIFFERS 1304
#define IDS_CHECK_NOTE 1305
#define IDS_CHECK_TRACE 1306
#define IDS_ERR_CANNOT_READ_EXPECTED 1307 // %1 path, %2 why
#define IDS_EXPECTED_WRONG_ARROW 1308     // %1 the arrow found
#define IDS_EXPECTED_NO_ARROW 1309
#define IDS_EXPECTED_NO_PAIR 1310 // %1 path
#define IDS_NEAR_CAPTION_BLANK 1311
#define IDS_NEAR_EXPECTED_BLANK 1312
#define IDS_NEAR_EQUALS 1313 // %1 what is expected
#define IDS_RECORD_HOLDS_ARROW 1314
#define IDS_RECORD_COMMENT 1315
#define IDS_RECORD_RESULT_EQUALS 1316
#define IDS_RECORD_RESULT_CR 1317
#define IDS_RECORD_NOT_TEXT 1318

// --coverage, --trace and the conversions' output.
#define IDS_COVERAGE_PROGRESS 1400     // %1 lines done, %2 IDS_COUNT_LINES
#define IDS_COVERAGE_DISAGREES 1401    // %1 caption, %2 the engine's, %3 the rules'
#define IDS_COVERAGE_UNUSED_TITLE 1402 // %1 definition file, %2 captions file
#define IDS_COVERAGE_COUNTS_TITLE 1403 // %1 definition file, %2 captions file
#define IDS_COVERAGE_CHANGED 1404      // %1 IDS_COUNT_CAPTION(S)
#define IDS_COVERAGE_TOTALS 1405       // %1 fired, %2 IDS_COUNT_RULES, %3 changed none, %4 captions
#define IDS_COVERAGE_TOTALS_PERCENT 1406 // %1 ... %4 as above, %5 percent
#define IDS_TRACE_LINE 1407              // %1 line
#define IDS_TRACE_NO_RULE 1408
#define IDS_TRACE_RESULT 1409
#define IDS_NO_DEF_CHOSEN 1410
#define IDS_TABLE_TITLE 1411 // %1 engine, %2 definition file or IDS_TABLE_NONE_CHOSEN
#define IDS_TABLE_NONE_CHOSEN 1412
#define IDS_UNCHANGED_ONE 1413 // %1 count
#define IDS_UNCHANGED_MANY 1414
#define IDS_TABLE_UNCHANGED 1415
#define IDS_ERR_FILE_NOT_UTF8 1416 // %1 line

// Why a file or a module cannot be had.
#define IDS_WHY_NO_FILE 1500
#define IDS_WHY_NO_FOLDER 1501
#define IDS_WHY_ACCESS_DENIED 1502
#define IDS_WHY_HELD_OPEN 1503
#define IDS_WHY_PATH_TOO_LONG 1504
#define IDS_WHY_NOT_32_BIT_DLL 1505
#define IDS_WHY_TOO_LARGE 1506
#define IDS_WHY_NO_MEMORY 1507
#define IDS_WHY_NOT_WHOLE 1508
#define IDS_WHY_WINDOWS_ERROR 1509 // %1 code
#define IDS_WHY_NO_FUNCTION 1510   // %1 function
#define IDS_WHY_DLL_MISSING 1511

// --coverage's --summary and --fail-under, and a caption --record leaves out.
#define IDS_ERR_SUMMARY_NEEDS_COVERAGE 1512
#define IDS_ERR_FAIL_UNDER_PERCENT 1513
#define IDS_COVERAGE_UNDER_THRESHOLD 1514 // %1 percent of the rules, %2 the one asked for
#define IDS_RECORD_LINE_FEED 1515

// --help, in pieces that run on one from another.
#define IDS_HELP_USAGE 1900
#define IDS_HELP_OPTIONS 1901 // %1 the registry value, %2 its key
#define IDS_HELP_LANG 1902
#define IDS_HELP_OPTIONS_END 1903
#define IDS_HELP_RULES 1904
#define IDS_HELP_EXIT 1905

// Advice that works where the user is, and the files a user writes.
#define IDS_SAVE_AS_SJIS_NO_BOM 1950  // %1 path, %2 path of the copy
#define IDS_SAVE_AS_SJIS_NOTEPAD 1951 // %1 path
#define IDS_SJIS_LACKS 1952           // %1 character, %2 "U+XXXX", %3 line
#define IDS_FILE_CR_LINE_ENDS 1953
#define IDS_WARN_FILE_CR_LINE_ENDS 1954
#define IDS_WARN_BLANK_BEFORE_COMMA 1955  // %1 "{SP}" or "{TAB}"
#define IDS_WARN_BLANK_AFTER_COMMA 1956   // %1 as above
#define IDS_NOTE_NO_CAPTIONS 1957         // %1 path
#define IDS_ERR_NO_CAPTION_TO_RECORD 1958 // %1 path
#define IDS_EXPECTED_INDENTED_COMMENT 1959
