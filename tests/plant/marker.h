// What every planted DLL does when a process loads it: leave a file beside
// itself that names the program which loaded it.
#ifndef KILN_PLANT_MARKER_H
#define KILN_PLANT_MARKER_H

#include <windows.h>

void WriteMarker(HINSTANCE dll, const char* name);

#endif
