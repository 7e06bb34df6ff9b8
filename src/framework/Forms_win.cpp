#include "framework/Forms.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/Exceptions.h"

namespace {

const wchar_t* const FormClass = L"TKaleidonForm";

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form && message == WM_CLOSE) {
    DispatchCommand([form] { form->Close(); });
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFormClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = FormClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) throw EOSError("Cannot register the form's window class");
}

}  // namespace

struct TForm::TImpl {
  HWND Window = nullptr;
};

// A tool window that is never shown has no task-bar button.
TForm::TForm(TComponent* AOwner) : TComponent(AOwner), FImpl(new TImpl) {
  RegisterFormClass();
  FImpl->Window = CreateWindowExW(WS_EX_TOOLWINDOW, FormClass, L"Kaleidon", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
  if (!FImpl->Window) throw EOSError("Cannot create the form's window");
  SetWindowLongPtrW(FImpl->Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TForm::~TForm() {
  SetWindowLongPtrW(FImpl->Window, GWLP_USERDATA, 0);
  DestroyWindow(FImpl->Window);
}

void* TForm::Handle() const { return FImpl->Window; }
