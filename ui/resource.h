// Resource and control ids, shared by the resource script and the C++.
#pragma once

#define IDD_MAIN 100
#define IDD_ABOUT 101
#define IDI_PANEL_ICON 101
#define IDS_PAYLOAD_MARKER 999

// Main window controls
#define IDC_START 1
#define IDC_CANCEL 2
#define IDC_ABOUT 3
#define IDC_PROGRESS 1000
#define IDC_ICON 1010
#define IDC_TITLE 1110
#define IDC_DESCRIPTION 1111
#define IDC_INFO_PANEL 1112
#define IDC_STATUS 1113
#define IDC_PATH_BOX 2222
#define IDC_BROWSE 3333
#define IDC_BACKUP_BOX 4444

// About window controls
#define IDC_ABOUT_TEXT 1111
#define IDC_LINK1 2000
#define IDC_LINK2 2001
