#pragma once
// Identifiers of the resources in resources/TarnwickSetup.rc (also included by the resource script).
#define IDI_APPICON 1
#define IDR_BACKGROUND 101   // RCDATA: the 600 x 400 page background, JPEG
#define IDB_COMPONENTS 201   // 32 x 16 strip: the two component pictures; magenta is transparent
#define IDB_PROGRESS 202     // 32 x 16 strip: green tick, red cross; magenta is transparent
