// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDI_APPLICATION_ICON 1
#define IDC_LINK_HAND 100
#define IDB_IMAGE1 101
#define IDR_IMAGE2_GIF 102
