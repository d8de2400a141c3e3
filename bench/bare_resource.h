// Identifiers of the bare dialog's template and controls.
#pragma once

#define IDD_BARE        101

#define IDC_BARE_STATUS 1001
#define IDC_BARE_BUTTON 1002
