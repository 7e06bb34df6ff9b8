#include "framework/Forms.h"

#include "framework/Application.h"
#include "framework/MessageWindow.h"

namespace {

constexpr uint32_t WM_CLOSE_MESSAGE = 0x0010;

}  // namespace

struct TForm::TImpl {
  std::unique_ptr<TMessageWindow> Window;
};

// The form's window is a hidden top-level one; asking it to close (as the
// tests' probe and the system's shut-down do) closes the form.
TForm::TForm(TComponent* AOwner) : TComponent(AOwner), FImpl(new TImpl) {
  FImpl->Window = std::make_unique<TMessageWindow>(TMessageWindow::TKind::TopLevel, "Kaleidon", [this](TMessage& m) {
    if (m.Msg != WM_CLOSE_MESSAGE) return false;
    Close();
    return true;
  });
}

TForm::~TForm() = default;

void TForm::Close() {
  if (Application && Application->MainForm() == this) Application->Terminate();
}

void* TForm::Handle() const { return FImpl->Window->Handle(); }
