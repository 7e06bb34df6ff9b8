#pragma once
// Resource identifiers shared by the resource script and the program. The
// Wine tests read the control identifiers from this file too.
#define IDI_KALEIDON 1
#define IDI_ABOUT 2

// Dialog templates.
#define IDD_OPTIONS 100
#define IDD_ADVANCED 101
#define IDD_WPLIST 102
#define IDD_ABOUT 103
#define IDD_UPDATE 104

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
#define IDC_PNG 1014
#define IDC_WEBP 1015

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
#define IDC_SMOOTHRESIZE 1112

#define IDC_WPLISTBOX 1201
#define IDC_PREVIEW 1202
#define IDC_MONITORLABEL 1203
#define IDC_MONITOR 1204

#define IDC_PROGRAMICON 1301
#define IDC_PRODUCTNAME 1302
#define IDC_VERSION 1303
#define IDC_COPYRIGHT 1304
#define IDC_COMPANY 1305
#define IDC_COMMENTS 1306
#define IDC_UPDATE 1307

#define IDC_UPDATEHEADING 1401
#define IDC_UPDATETEXT 1402
#define IDC_CHECKUPGRADE 1403
