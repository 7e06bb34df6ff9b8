#include "framework/Forms.h"

#include "framework/Application.h"

void TForm::Close() {
  if (Application && Application->MainForm() == this) Application->Terminate();
}
