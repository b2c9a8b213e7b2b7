// Resource ids shared by velmora.rc and the shell. Resource types keep separate id spaces, so
// the string, menu and dialog ids below may repeat one another on purpose (103, 108).
#pragma once

// Main window: class name, title, icons, menu and accelerators
#define IDS_APP_TITLE 103     // "Velmora"
#define IDS_WINDOW_CLASS 108  // "VELMORA"
#define IDI_VELMORA 106       // large application icon
#define IDI_SMALL 107         // small application icon
#define IDR_MAIN_MENU 108     // menu and accelerator table

// Commands
#define IDM_ABOUT 104  // Alt+"?", Alt+"/"
#define IDM_EXIT 105
#define IDM_SETTINGS 110
#define IDM_CSV_EXPORT 111
#define IDM_FONT 112

// Main window controls
#define IDC_STRUCT_SELECTOR 150
#define IDC_PATH_FIELD 151
#define IDC_READ_BUTTON 152
#define IDC_WRITE_BUTTON 153
#define IDC_RECORD_LIST 154
#define IDC_BROWSE_BUTTON 155
#define IDC_STATUS_LINE 156

// About dialog
#define IDD_ABOUT 103

// Settings dialog
#define IDD_SETTINGS 121
#define IDC_NO_BASE_ZERO 141
#define IDC_NO_BASE_ONE 142

// CSV export dialog
#define IDD_CSV_EXPORT 122
#define IDC_CSV_PATH 141
#define IDC_CSV_BROWSE 142
#define IDC_CSV_COLUMNS 143

// Item edit dialog
#define IDD_ITEM_EDIT 123
#define IDC_ITEM_VALUE 141

// Type change dialogs, one per width family, the same controls in each
#define IDD_BYTE_TYPE 124
#define IDD_WORD_TYPE 125
#define IDD_LONG_TYPE 126
#define IDC_TYPE_UNSIGNED 141
#define IDC_TYPE_SIGNED 142
#define IDC_TYPE_HEX 143

// Spare dialog carried in the resources, never opened
#define IDD_SPARE 127
