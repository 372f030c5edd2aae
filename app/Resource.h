#pragma once
// Resource numbers shared by OrvandelSetup.rc and the code.

#define IDI_ORVANDEL 1

#define IDS_TITLE_ERROR 100
#define IDS_TITLE_INFORMATION 101
#define IDS_BUTTON_OK 102
#define IDS_BUTTON_YES 103
#define IDS_BUTTON_NO 104
#define IDS_UNKNOWN_ERROR 105
