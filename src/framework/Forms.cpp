#include "framework/Forms.h"

#include "framework/Application.h"
#include "framework/MessageWindow.h"

namespace {

constexpr uint32_t WM_CLOSE_MESSAGE = 0x0010;
constexpr uint32_t WM_DISPLAYCHANGE_MESSAGE = 0x007E;

}  // namespace

struct TForm::TImpl {
  std::unique_ptr<TMessageWindow> Window;
};

// The form's window is a hidden top-level one; asking it to close (as the
// tests' probe and the system's shut-down do) closes the form. As a
// top-level window it hears of display changes too.
TForm::TForm(TComponent* AOwner) : TComponent(AOwner), FImpl(new TImpl) {
  FImpl->Window = std::make_unique<TMessageWindow>(TMessageWindow::TKind::TopLevel, "Kaleidon", [this](TMessage& m) {
    if (m.Msg == WM_DISPLAYCHANGE_MESSAGE) OnDisplayChange(this);
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
