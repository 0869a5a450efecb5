// Resource ids of the widget framework's test dialogs.
#pragma once

#define IDD_UI_TEST 900
#define IDD_UI_PAGE1 901
#define IDD_UI_PAGE2 902

#define IDC_UI_EDIT 9001
#define IDC_UI_CHECK 9002
#define IDC_UI_COMBO 9003
#define IDC_UI_NUMBER 9004
#define IDC_UI_UPDOWN 9005
#define IDC_UI_TABS 9006
#define IDC_UI_SAMPLE 9007
#define IDC_UI_HELP 9008
#define IDC_UI_PAGE_EDIT 9101
#define IDC_UI_PAGE_CHECK 9102
