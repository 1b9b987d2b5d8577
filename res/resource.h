// Resource identifiers, shared by the resource script and the code.
// String identifiers double as error codes: 0 is success.
#pragma once

// String table
#define IDS_READ_ERROR        2    // raw copy: read failed
#define IDS_WRITE_ERROR       3    // raw copy: write failed or disk full
#define IDS_NO_MEMORY         4
#define IDS_SYSTEM_ERROR      5    // module path, system or Windows directory
#define IDS_NEED_WIN31        6
#define IDS_NO_SETUP_FILE     10
#define IDS_BAD_SETUP_FILE    11
#define IDS_CANT_CREATE_FILE  12   // %s: destination path
#define IDS_CANT_CREATE_TEMP  13   // %s: temporary file
#define IDS_SELECT_FONT       20
#define IDS_BAD_DIRECTORY     26
#define IDS_LZ_BASE           100  // LZ error -1..-8 gives 99..92
#define IDS_LZ_UNKNOWNALG     92
#define IDS_LZ_BADVALUE       93
#define IDS_LZ_GLOBLOCK       94
#define IDS_LZ_GLOBALLOC      95
#define IDS_LZ_WRITE          96
#define IDS_LZ_READ           97
#define IDS_LZ_BADOUTHANDLE   98
#define IDS_LZ_BADINHANDLE    99
#define IDS_INSERT_DISK       110  // %s disk label, %s piece file
#define IDS_CAPTION           151
#define IDS_SELECT_ITEMS      152
#define IDS_COPYING           153  // %s piece file
#define IDS_PROCESSING_FONT   154
#define IDS_DONE              155
#define IDS_ADDING_FONT       157  // %s font name
#define IDS_CREATE_DIR        159

// Dialogs, bitmaps, icon
#define IDD_ABOUT             1
#define IDD_TARGET_DIR        2
#define IDD_DISK_PROMPT       3
#define IDD_MAIN              5
#define IDB_TILE              1
#define IDB_LOGO              2
#define IDI_SETUP             102

// Commands and controls of the main dialog
#define IDC_INSTALL           1
#define IDC_EXIT              2
#define IDC_ABOUT             102
#define IDC_FONT_LIST         202
#define IDC_STATUS            203

// Controls of the destination dialog
#define IDC_TARGET_DIR        101

// Controls of the disk prompt
#define IDC_PROMPT_EXIT       3
#define IDC_PROMPT_TEXT       100
#define IDC_PROMPT_DIR        101

// Controls of the About box
#define IDC_ABOUT_ICON        2
#define IDC_ABOUT_DATE        101
