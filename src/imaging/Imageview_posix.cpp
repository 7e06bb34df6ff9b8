#include "imaging/Imageview.h"

// No window shows a view here: there is nothing to repaint.
void TImageView::AttachWindow(void* window) { FWindow = window; }

void TImageView::Invalidate() {}
