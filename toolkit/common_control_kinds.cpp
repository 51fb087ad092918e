#include "toolkit/control_kinds.h"

// clang-format off
const ControlKindRow CommonControlKindTable[kLastControlKind - kLastClassicKind] = {
    // default     forced      forbidden   class
    {0x5081000D, 0x50000001, 0x00000002, "SysListView32"},       // 16 list view: WS_BORDER|WS_TABSTOP|LVS_REPORT|LVS_SINGLESEL|LVS_SHOWSELALWAYS
    {0x50000000, 0x50000000, 0x00000000, "msctls_progress32"},   // 17 progress bar
    {0x54010000, 0x50000000, 0x00000000, "SysTabControl32"},     // 18 tabs: WS_CLIPSIBLINGS|WS_TABSTOP
    {0x50010000, 0x50000000, 0x00000000, "msctls_trackbar32"},   // 19 slider: WS_TABSTOP|TBS_HORZ
    {0x500000B6, 0x50000000, 0x00000000, "msctls_updown32"},     // 20 up-down: UDS_SETBUDDYINT|UDS_ALIGNRIGHT|UDS_AUTOBUDDY|UDS_ARROWKEYS|UDS_NOTHOUSANDS
    {0x50000000, 0x50000000, 0x00000000, "msctls_statusbar32"},  // 21 status bar
};
// clang-format on
