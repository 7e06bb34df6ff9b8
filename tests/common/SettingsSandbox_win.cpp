#include <windows.h>

#include "SettingsSandbox.h"
#include "framework/Wide.h"

// The program's own key; the framework's tests, which cannot see the
// application's headers, use it as their store too.
static const char KaleidonKey[] = "Software\\Trellwick\\Kaleidon";

void TSettingsSandbox::Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, Utf8ToWide(KaleidonKey).c_str()); }
