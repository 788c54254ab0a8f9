#pragma once
// Resource ids shared by Quorlane.rc and the code that loads the resources.

#define IDI_QUORLANE 1
#define IDB_CONSOLE 101
