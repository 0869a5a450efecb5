// Resource ids of the about box.
#pragma once

#define IDD_ABOUT 4500
#define IDC_AB_PANEL 4510
#define IDC_AB_ICON 4511
#define IDC_AB_PRODUCT 4512
#define IDC_AB_VERSION 4513
#define IDC_AB_AUTHOR 4514
