#pragma once
// Owners of the Win32 handles the program opens (see THandle). Included only
// by the Windows halves of units.

#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include "framework/Handle.h"

// Handles whose "none" is null, and those whose "none" is INVALID_HANDLE_VALUE
// (files and searches), each closed by the given call.
template <class T, auto CloseCall>
struct TNullHandleTraits {
  using TValue = T;
  static TValue None() { return nullptr; }
  static void Close(TValue h) { CloseCall(h); }
};
template <auto CloseCall>
struct TInvalidHandleTraits {
  using TValue = HANDLE;
  static TValue None() { return INVALID_HANDLE_VALUE; }
  static void Close(TValue h) { CloseCall(h); }
};

// A file opened with CreateFile.
using TFileHandle = THandle<TInvalidHandleTraits<&CloseHandle>>;
using TFindHandle = THandle<TInvalidHandleTraits<&FindClose>>;
// A process, thread or event handle.
using TKernelHandle = THandle<TNullHandleTraits<HANDLE, &CloseHandle>>;
using TRegKey = THandle<TNullHandleTraits<HKEY, &RegCloseKey>>;
using TIconHandle = THandle<TNullHandleTraits<HICON, &DestroyIcon>>;
// A pen, brush, font, bitmap or region.
template <class Object>
using TGdiObject = THandle<TNullHandleTraits<Object, &DeleteObject>>;
// A device context made with CreateCompatibleDC or CreateDC.
using TMemoryDC = THandle<TNullHandleTraits<HDC, &DeleteDC>>;
using TEnhMetafile = THandle<TNullHandleTraits<HENHMETAFILE, &DeleteEnhMetaFile>>;
using TWindowHandle = THandle<TNullHandleTraits<HWND, &DestroyWindow>>;
// CNG (BCrypt) algorithm providers, keys and hash states; linking bcrypt.
inline void CloseAlgorithmProvider(BCRYPT_ALG_HANDLE algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
using TBCryptAlgorithm = THandle<TNullHandleTraits<BCRYPT_ALG_HANDLE, &CloseAlgorithmProvider>>;
using TBCryptKey = THandle<TNullHandleTraits<BCRYPT_KEY_HANDLE, &BCryptDestroyKey>>;
using TBCryptHash = THandle<TNullHandleTraits<BCRYPT_HASH_HANDLE, &BCryptDestroyHash>>;

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
