#pragma once
// The image holder: a view that loads, measures, stretches and saves its one
// image through its own input/output and processing components.

#include <string>

#include "imaging/Imageio.h"
#include "imaging/Imageproc.h"
#include "imaging/Imageview.h"

class TImageHolder : public TImageView {
public:
  explicit TImageHolder(TComponent* AOwner);

  bool LoadFromFile(const std::string& fileName) { return FIO->LoadFromFile(fileName); }
  void SaveToFileBMP(const std::string& fileName) { FIO->SaveToFileBMP(fileName); }
  void Resample(int NewWidth, int NewHeight, TResampleFilter filter) { FProc->Resample(NewWidth, NewHeight, filter); }
  // Zooms so that the whole image fits the control.
  void Fit();

  TImageIO& IO() { return *FIO; }
  TImageProc& Proc() { return *FProc; }

private:
  TImageIO* FIO;
  TImageProc* FProc;
};
