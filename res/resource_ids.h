// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_VELMARO 1
#define IDR_STARTUP_JPEG 101 // the start-up picture (RCDATA, a 566 x 283 JPEG)
#define IDB_EMBLEM 102       // the About box's 65 x 57, 16-colour emblem
#define IDR_ACCEL 103
