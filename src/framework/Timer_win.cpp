#include "framework/Timer.h"

#include <windows.h>

#include "framework/Exceptions.h"

namespace {

const wchar_t* const TimerWindowClass = L"TKaleidonTimerWindow";

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    reinterpret_cast<TTimer*>(wParam)->Tick();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// One hidden message window carries every timer of the process; a timer's
// identifier is its own address, so WM_TIMER leads straight back to it.
HWND TimerWindow() {
  static const HWND window = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TimerWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = TimerWindowClass;
    RegisterClassExW(&wc);
    return CreateWindowExW(0, TimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
  }();
  if (!window) throw EOSError("Cannot create the timer window");
  return window;
}

}  // namespace

struct TTimer::TImpl {
  bool Armed = false;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(new TImpl) { UpdateTimer(); }

TTimer::~TTimer() {
  if (FImpl->Armed) KillTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(this));
}

void TTimer::UpdateTimer() {
  const HWND window = TimerWindow();
  const auto id = reinterpret_cast<UINT_PTR>(this);
  if (FImpl->Armed) KillTimer(window, id);
  FImpl->Armed = false;
  if (!FEnabled || FInterval == 0) return;
  FImpl->Armed = SetTimer(window, id, FInterval, nullptr) != 0;
}
