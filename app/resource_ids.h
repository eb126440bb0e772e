#pragma once

// Shared by the resource script and the code.
#define IDS_TITLE                101
#define IDS_PROGRESS_LINE1       102
#define IDS_HASHING_LINE2        103
#define IDS_OFFICIAL_IMAGE       104
#define IDS_NOT_OFFICIAL_IMAGE   105
#define IDS_CHOOSER_TITLE        106
#define IDS_CHOOSER_FILTER       107
#define IDS_LIST_INVALID         108
#define IDS_LIST_DOWNLOAD_FAILED 109
#define IDS_DOWNLOADING_LINE2    110
#define IDS_CREDITS_LINKS        111
#define IDS_CREDITS_PLAIN        112

#define IDI_HALCYRA              5
