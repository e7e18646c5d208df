// Resource numbers of the update program, for the resource script and the code.
#ifndef VORENTA_UI_WIN32_RESOURCE_IDS_H
#define VORENTA_UI_WIN32_RESOURCE_IDS_H

#define VORENTA_IDI_APP 128
#define VORENTA_IDB_LOGO 139

#endif
