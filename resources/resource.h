// Resource identifiers, shared by the C++ code and the resource script.
#pragma once

#define IDI_ZEMBROVALE 100

// Dialog templates are named, not numbered.
#define IDD_OPTIONS "OPTIONS"
#define IDD_WINSPY "WINSPY"

// Options dialog controls.
#define IDC_OPT_LEVEL1_LABEL 1
#define IDC_OPT_LEVEL2_LABEL 2
#define IDC_OPT_LEVEL1 3
#define IDC_OPT_LEVEL2 4
#define IDC_OPT_CLASSNAME 5
#define IDC_OPT_WINDOWNAME 6
#define IDC_OPT_WINDOWNAME_LABEL 7
#define IDC_OPT_CLASSNAME_LABEL 8
#define IDC_OPT_FREQUENCY 9
#define IDC_OPT_SAVE 10
#define IDC_OPT_KEY 11
#define IDC_OPT_CANCEL 12
#define IDC_OPT_DRIVE 13
#define IDC_OPT_DRIVE_LABEL 14
#define IDC_OPT_SHUTDOWN 15
#define IDC_OPT_CLOSETARGET 16
#define IDC_OPT_LEVEL2_GROUP 17
#define IDC_OPT_LEVEL1_GROUP 18
#define IDC_OPT_SENDKEY 19
#define IDC_OPT_BEEP 20
#define IDC_OPT_INTERVAL_LABEL 21
#define IDC_OPT_INTERVAL 22
#define IDC_OPT_TRANSPARENT 23
#define IDC_OPT_ALPHA 24
#define IDC_OPT_ALPHA_LABEL 25

// Window picker controls.
#define IDC_PICK_WINDOWNAME_LABEL 1
#define IDC_PICK_CLASSNAME_LABEL 2
#define IDC_PICK_WINDOWNAME 3001
#define IDC_PICK_CLASSNAME 3004

// Tuner level bar (a child of the main window).
#define IDC_LEVEL_BAR 1100
