// Resource ids of the page rename dialog.
#pragma once

#define IDD_PAGERENAME 4300
#define IDC_PR_NAME 4310
#define IDC_PR_HELP 4311
