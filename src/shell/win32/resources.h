// Resource numbers shared by the program and its resource script.
#pragma once

#define IDI_VORRASIN 1
#define IDB_PREVIEW 101
