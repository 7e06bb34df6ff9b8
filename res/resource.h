#pragma once
// Resource identifiers shared by the resource script and the program. The
// Wine tests read the control identifiers from this file too.
#define IDI_KALEIDON 1

// Dialog templates.
#define IDD_OPTIONS 100
#define IDD_ADVANCED 101
#define IDD_WPLIST 102

// A spin field's buttons have the identifier after the field's.
#define IDC_PAPERLOCATION 1001
#define IDC_BROWSE 1002
#define IDC_CHANGEONSTART 1003
#define IDC_RANDOMWP 1004
#define IDC_WPINMENU 1005
#define IDC_CHANGETIME 1006
#define IDC_CHANGETIME_SPIN 1007
#define IDC_JPEG 1008
#define IDC_GIF 1009
#define IDC_BMP 1010
#define IDC_PCX 1011
#define IDC_TIFF 1012
#define IDC_ADVANCED 1013

#define IDC_SMALLWIDTH 1101
#define IDC_SMALLWIDTH_SPIN 1102
#define IDC_SMALLHEIGHT 1103
#define IDC_SMALLHEIGHT_SPIN 1104
#define IDC_SMALLTYPE 1105
#define IDC_MIDDLETYPE 1106
#define IDC_LARGEWIDTH 1107
#define IDC_LARGEWIDTH_SPIN 1108
#define IDC_LARGEHEIGHT 1109
#define IDC_LARGEHEIGHT_SPIN 1110
#define IDC_LARGETYPE 1111

#define IDC_WPLISTBOX 1201
#define IDC_PREVIEW 1202
