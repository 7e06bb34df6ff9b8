#pragma once
// The windows the update checker builds itself, laid out in pixels in the
// checker's font: the please-wait note shown while a page is fetched, the
// read-me viewer, and the progress window of a download; and what the
// progress window says.

#include <cstdint>
#include <string>

#include "framework/Dialogs.h"

class THttpCli;

// "Please Wait", with one centred line of text; it has no buttons and ends
// when the request it waits for does.
class TPleaseWaitForm : public TDialog {
public:
  TPleaseWaitForm(TComponent* AOwner, const std::string& text, const TFont& font);
  TLabel* Label1;
};

// "Read Me": the text, read-only, with both scroll bars, and "&Ok".
class TReadMeForm : public TDialog {
public:
  TReadMeForm(TComponent* AOwner, const std::string& text, const TFont& font);
  TEdit* Memo1;
  TButton* Button1;
};

// "Download Progress": what is downloaded, a bar, the bytes received and
// "&Cancel" (Esc too), which aborts the client's request.
class TWebDlProgress : public TDialog {
public:
  TWebDlProgress(TComponent* AOwner, const TFont& font, THttpCli& client);
  TProgressBar* pbarProgress;
  TLabel* lblDownloading;
  TLabel* lblProgress;
  TButton* btnCancel;
  void btnCancelClick(TObject* sender);
  bool Cancelled() const { return FCancelled; }
  // Shows the bytes received of the size (0 or less: unknown); the bar
  // never moves back. Nothing changes once cancelled.
  void ShowProgress(int64_t received, int64_t size);

private:
  THttpCli& FClient;
  bool FCancelled = false;
};

// The number in decimal with a comma between groups of three digits.
std::string GroupedDigits(int64_t value);
// "<received> of <size> bytes received.", or "<received> bytes received."
// while the size is unknown (0 or less).
std::string ProgressText(int64_t received, int64_t size);
// received × 100 ÷ size in whole percent, at most 100; 0 while the size is unknown.
int ProgressPercent(int64_t received, int64_t size);
