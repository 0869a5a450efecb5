// Resource ids of the password entry dialog.
#pragma once

#define IDD_PASS 4400
#define IDC_PS_PASS 4410
