#pragma once
// The progress record handed to each image reader: percentages go to the
// holder's OnProgress event, when one is assigned.

#include "framework/Events.h"

using TProgressEvent = TEvent<int>;  // (sender, percent)

struct TProgressRec {
  TProgressEvent OnProgress;
  TObject* Sender = nullptr;
  int Count = 0;        // running count (rows, as a reader defines it)
  double Factor = 0.0;  // 100 / total

  void Report(int percent) const { OnProgress(Sender, percent); }
  bool Assigned() const { return OnProgress.Assigned(); }
};
