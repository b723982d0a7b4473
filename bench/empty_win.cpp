// The reference of the quiet-switch benchmark: a Windows program that does nothing, so that
// what Wine itself costs to start a process is measured beside Velmaro.exe /next.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
