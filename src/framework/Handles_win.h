#pragma once
// Owners of the Win32 handles the program opens (see THandle). Included only
// by the Windows halves of units.

#include <windows.h>

#include "framework/Handle.h"

struct TFileHandleTraits {
  using TValue = HANDLE;
  static TValue None() { return INVALID_HANDLE_VALUE; }
  static void Close(TValue h) { CloseHandle(h); }
};
// A file opened with CreateFile; "none" is INVALID_HANDLE_VALUE.
using TFileHandle = THandle<TFileHandleTraits>;

struct TKernelHandleTraits {
  using TValue = HANDLE;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { CloseHandle(h); }
};
// A process, thread or event handle; "none" is null.
using TKernelHandle = THandle<TKernelHandleTraits>;

struct TFindHandleTraits {
  using TValue = HANDLE;
  static TValue None() { return INVALID_HANDLE_VALUE; }
  static void Close(TValue h) { FindClose(h); }
};
using TFindHandle = THandle<TFindHandleTraits>;

struct TRegKeyTraits {
  using TValue = HKEY;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { RegCloseKey(h); }
};
using TRegKey = THandle<TRegKeyTraits>;

struct TIconHandleTraits {
  using TValue = HICON;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { DestroyIcon(h); }
};
using TIconHandle = THandle<TIconHandleTraits>;

template <class Object>
struct TGdiObjectTraits {
  using TValue = Object;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { DeleteObject(h); }
};
// A pen, brush, font, bitmap or region.
template <class Object>
using TGdiObject = THandle<TGdiObjectTraits<Object>>;

struct TMemoryDCTraits {
  using TValue = HDC;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { DeleteDC(h); }
};
// A device context made with CreateCompatibleDC or CreateDC.
using TMemoryDC = THandle<TMemoryDCTraits>;

struct TEnhMetafileTraits {
  using TValue = HENHMETAFILE;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { DeleteEnhMetaFile(h); }
};
using TEnhMetafile = THandle<TEnhMetafileTraits>;

struct TWindowHandleTraits {
  using TValue = HWND;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { DestroyWindow(h); }
};
using TWindowHandle = THandle<TWindowHandleTraits>;

// A window's device context, from GetDC; released to that window.
class TWindowDC {
public:
  explicit TWindowDC(HWND window) : FWindow(window), FDC(GetDC(window)) {}
  ~TWindowDC() {
    if (FDC) ReleaseDC(FWindow, FDC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HWND FWindow;
  HDC FDC;
};

// An object selected into a device context, put back out when this goes.
class TSelection {
public:
  TSelection(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  ~TSelection() {
    if (FOld) SelectObject(FDC, FOld);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

private:
  HDC FDC;
  HGDIOBJ FOld;
};
