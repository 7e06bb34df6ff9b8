#pragma once
// Forms: windows that own components. The program's main form is never
// shown; it exists to own the components that do the work.

#include <memory>

#include "framework/Component.h"
#include "framework/Events.h"

class TForm : public TComponent {
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  // Closing the main form ends the application's message loop.
  void Close();

  // The platform window (an HWND on Windows), or null where there is none.
  void* Handle() const;

  // The system says the screens' layout or resolution changed.
  TNotifyEvent OnDisplayChange;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
