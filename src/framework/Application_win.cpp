#include "framework/Application.h"

#include <windows.h>

void TApplication::Run() {
  if (!FMainForm) return;
  MSG msg;
  while (!FTerminated && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  FTerminated = true;
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      FTerminated = true;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::HandleMessage() {
  if (FTerminated) return;
  MSG msg;
  if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
    FTerminated = true;
    return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}
