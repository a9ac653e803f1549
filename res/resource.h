#pragma once
// Resource ids, shared by the resource script and the code.

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_BRIDGE_FORM 101

// Controls of the bridge form
#define IDC_LOG_LIGHT 1000
#define IDC_PROG_LIGHT 1001
#define IDC_NO_FREQ 1002
#define IDC_BADGE 1003
#define IDC_STATUS 1004
#define IDC_NO_FREQ_LABEL 1005

// Menu, accelerators, application icon and document-template string
#define IDR_MAINFRAME 128
#define IDR_BRIDGETYPE 129

// Pictures
#define IDB_LIGHT_OFF 130
#define IDB_LIGHT_ON 131
#define IDB_BADGE 132

// Strings
#define IDP_OLE_INIT_FAILED 103
#define IDS_APP_TITLE 57344
#define IDS_IDLE_MESSAGE 57345
#define IDS_SOURCE_FILE_EMPTY 61204

// Commands
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_CLOSE 57602
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_CLEAR_ALL 57633
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_FIND 57636
#define ID_EDIT_PASTE 57637
#define ID_EDIT_REPEAT 57640
#define ID_EDIT_REPLACE 57641
#define ID_EDIT_SELECT_ALL 57642
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_WINDOW_SPLIT 57653
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
