#include "framework/MessageWindow.h"

#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

const wchar_t* const WindowClass = L"TKaleidonWindow";

// The object rides in the window's user data once the window exists: the
// messages of its creation take the default processing, so that no handler
// can refuse them (and so fail the creation) by answering them itself.
LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* owner = reinterpret_cast<TMessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner) {
    TMessage message{msg, wParam, lParam};
    if (owner->Handle(message)) return message.Result;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = WindowClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) throw EOSError("Cannot register the window class");
}

}  // namespace

struct TMessageWindow::TImpl {
  TWindowHandle Window;
};

// A top-level window that is never shown, and a tool window at that, has no
// task-bar button.
TMessageWindow::TMessageWindow(TKind kind, const std::string& caption, THandler handler)
    : FHandler(std::move(handler)), FImpl(new TImpl) {
  RegisterWindowClass();
  const bool topLevel = kind == TKind::TopLevel;
  FImpl->Window.Reset(CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, WindowClass, Utf8ToWide(caption).c_str(),
                                      topLevel ? WS_POPUP : 0, 0, 0, 0, 0, topLevel ? nullptr : HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  if (!FImpl->Window) throw EOSError("Cannot create the window of " + caption);
  SetWindowLongPtrW(FImpl->Window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

// The object lets go of the window before destroying it: the messages of
// the destruction find no object to call.
TMessageWindow::~TMessageWindow() { SetWindowLongPtrW(FImpl->Window.Get(), GWLP_USERDATA, 0); }

void* TMessageWindow::Handle() const { return FImpl->Window.Get(); }

void TMessageWindow::Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) const {
  PostMessageW(FImpl->Window.Get(), msg, wParam, lParam);
}
