#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_TERVANE 1
#define IDB_FLAGS 101
#define IDB_COMPACT 102
