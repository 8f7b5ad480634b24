#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_TERVANE 1
// The program icon at 40, 48 and 64 pixels, for a large icon above 100 %.
#define IDI_TERVANE_LARGE 2
// The pictures at 100 %; the same at 125, 150 and 200 % (kImageDpis) follow at steps of
// kImageResourceStep.
#define IDB_FLAGS 101
#define IDB_COMPACT 102
#define IDB_FLAGS_125 111
#define IDB_COMPACT_125 112
#define IDB_FLAGS_150 121
#define IDB_COMPACT_150 122
#define IDB_FLAGS_200 131
#define IDB_COMPACT_200 132
#define kImageResourceStep 10
