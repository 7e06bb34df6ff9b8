#include "app/Trayicon.h"

// There is no notification area here: the icon counts as shown, and the
// cursor rests at the origin with no key held.

struct TTrayIcon::TImpl {};

void TTrayIcon::TImplDeleter::operator()(TImpl* impl) const { delete impl; }

bool TTrayIcon::NotifyShell(TShellAction) { return true; }
void TTrayIcon::CursorPos(int& x, int& y) const { x = y = 0; }
TShiftState TTrayIcon::KeyState() const { return {}; }
void TTrayIcon::ToForeground() {}
uint32_t TTrayIcon::TaskbarCreatedMessage() { return 0; }
