#include <windows.h>
// PLACEHOLDER: replaced by the process entry.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
