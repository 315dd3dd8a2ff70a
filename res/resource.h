// Ids of resources, controls and commands: the one table that the resource
// scripts and the code share. Plain #defines so that rc and windres read it.
#ifndef TARNLIGHT_RESOURCE_H
#define TARNLIGHT_RESOURCE_H

// Resources
#define IDD_PANEL           100
#define IDR_MENU            102
#define IDI_APP             105
#define IDR_ACCEL           107
#define IDC_TOOLBAR         1100
#define IDB_TOOLBAR         1101

// Controls of the main panel
#define IDC_FILE1           1000
#define IDC_FILE2           1001
#define IDC_MESSAGE         1002
#define IDC_RESULTBOX       1004
#define IDC_RESULT          1005
#define IDC_PROGRESS        1007
#define IDC_FACE            1010

// Controls of the options pages
#define IDC_AUTOCOMPARE     1016
#define IDC_MAXDIFF         1018
#define IDC_STOP_AT_END     1021
#define IDC_STOP_AT_MAX     1022
#define IDC_STOP_AT_FIRST   1023
#define IDC_TOOLSLOT_BASE   1050    // check box of toolbar slot s is 1050 + s
#define IDC_SHOW_OPEN1      1051
#define IDC_SHOW_OPEN2      1052
#define IDC_SHOW_SAVE       1053
#define IDC_SHOW_UNDO       1055
#define IDC_SHOW_CUT        1056
#define IDC_SHOW_COPY       1057
#define IDC_SHOW_PASTE      1058
#define IDC_SHOW_CLEAR      1059
#define IDC_SHOW_COMPARE    1061
#define IDC_SHOW_OPTIONS    1063
#define IDC_SHOW_HELP       1064
#define IDC_TOOLFLAT        1081

// Menu commands
#define IDM_OPEN1           40002
#define IDM_EXIT            40003
#define IDM_OPEN2           40004
#define IDM_HELP            40005
#define IDM_CUT             40006
#define IDM_COPY            40007
#define IDM_PASTE           40008
#define IDM_ABOUT           40009
#define IDM_OPTIONS         40010
#define IDM_SAVE            40011
#define IDM_COMPARE         40026
#define IDM_UNDO            40029
#define IDM_CLEAR           40030
#define IDM_SELECTALL       40031

// Toolbar commands: the button of slot s carries 1200 + s, separators 1200
#define IDT_SEPARATOR       1200
#define IDT_OPEN1           1201
#define IDT_OPEN2           1202
#define IDT_SAVE            1203
#define IDT_UNDO            1205
#define IDT_CUT             1206
#define IDT_COPY            1207
#define IDT_PASTE           1208
#define IDT_CLEAR           1209
#define IDT_COMPARE         1211
#define IDT_OPTIONS         1213
#define IDT_HELP            1214

#endif
