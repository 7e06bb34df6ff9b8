#include "framework/Forms.h"

struct TForm::TImpl {};

TForm::TForm(TComponent* AOwner) : TComponent(AOwner) {}

TForm::~TForm() = default;

void* TForm::Handle() const { return nullptr; }
