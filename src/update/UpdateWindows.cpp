#include "update/UpdateWindows.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/Screen.h"
#include "framework/SysUtils.h"
#include "net/Httpprot.h"

namespace {

constexpr char StaticClass[] = "Static";
constexpr char ButtonClass[] = "Button";
constexpr char EditClass[] = "Edit";
constexpr char ProgressClass[] = "msctls_progress32";
constexpr int LabelId = 100;
constexpr int MemoId = 101;
constexpr int ProgressBarId = 102;
constexpr int DownloadingId = 103;
constexpr int ProgressLabelId = 104;

// The windows' sizes are given for the whole window; a dialog frame of 4
// pixels each side and a caption of 19 take this much of them.
constexpr int FrameWidth = 8;
constexpr int FrameHeight = 27;

TDialogTemplate Layout(const std::string& caption, int width, int height, const TFont& font,
                       std::vector<TDialogItemTemplate> items, bool waits = false) {
  TDialogTemplate layout;
  layout.Caption = caption;
  layout.Width = width;
  layout.Height = height;
  layout.Font = font;
  layout.InPixels = true;
  layout.WaitCursor = waits;
  layout.Items = std::move(items);
  return layout;
}

TDialogTemplate PleaseWaitLayout(const std::string& text, const TFont& font) {
  return Layout("Please Wait", 240 - FrameWidth, 100 - FrameHeight, font,
                {{StaticClass, text, LabelId, 0, 27, 232, 23, ssCenter | ssNoPrefix}}, true);
}

// Four fifths of the screen each way, the text box filling it but for a
// margin and the button's row.
TDialogTemplate ReadMeLayout(const TFont& font) {
  const int width = ScreenWidth() * 4 / 5;
  const int height = ScreenHeight() * 4 / 5;
  constexpr uint32_t memo =
      esMultiLine | esReadOnly | esAutoVScroll | esAutoHScroll | wsVScroll | wsHScroll | wsBorder | wsTabStop;
  return Layout("Read Me", width - FrameWidth, height - FrameHeight, font,
                {{EditClass, "", MemoId, 10, 10, width - 25, height - 80, memo},
                 {ButtonClass, "&Ok", idOkButton, width / 2 - 34, height - 56, 68, 22, bsDefPushButton | wsTabStop}});
}

TDialogTemplate ProgressLayout(const TFont& font) {
  return Layout("Download Progress", 272, 123, font,
                {{ProgressClass, "", ProgressBarId, 36, 40, 200, 14, 0},
                 {ButtonClass, "&Cancel", idCancelButton, 102, 94, 68, 22, bsPushButton | wsTabStop},
                 {StaticClass, "", DownloadingId, 2, 10, 268, 18, ssCenter | ssNoPrefix},
                 {StaticClass, "", ProgressLabelId, 2, 60, 268, 22, ssCenter | ssNoPrefix}},
                true);
}

// The lines of a text, however they end, joined as a text box shows them.
std::string BoxLines(const std::string& text) {
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      lines += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines += "\r\n";
  }
  return lines;
}

}  // namespace

TPleaseWaitForm::TPleaseWaitForm(TComponent* AOwner, const std::string& text, const TFont& font)
    : TDialog(AOwner, PleaseWaitLayout(text, font)) {
  Label1 = Add<TLabel>(LabelId);
  Label1->SetText(text);
}

TReadMeForm::TReadMeForm(TComponent* AOwner, const std::string& text, const TFont& font)
    : TDialog(AOwner, ReadMeLayout(font)) {
  Memo1 = Add<TEdit>(MemoId);
  Memo1->SetText(BoxLines(text));
  Button1 = Add<TButton>(idOkButton);
  Button1->ModalResult = mrOk;
}

TWebDlProgress::TWebDlProgress(TComponent* AOwner, const TFont& font, THttpCli& client)
    : TDialog(AOwner, ProgressLayout(font)), FClient(client) {
  pbarProgress = Add<TProgressBar>(ProgressBarId);
  lblDownloading = Add<TLabel>(DownloadingId);
  lblProgress = Add<TLabel>(ProgressLabelId);
  btnCancel = Add<TButton>(idCancelButton);
  btnCancel->OnClick = TNotifyEvent(this, &TWebDlProgress::btnCancelClick);
}

// The client then ends the request, and the end closes the window.
void TWebDlProgress::btnCancelClick(TObject*) {
  FCancelled = true;
  FClient.Abort();
}

void TWebDlProgress::ShowProgress(int64_t received, int64_t size) {
  if (FCancelled) return;
  lblProgress->SetText(ProgressText(received, size));
  const int percent = ProgressPercent(received, size);
  if (pbarProgress->Position() < percent) pbarProgress->SetPosition(percent);
}

std::string GroupedDigits(int64_t value) {
  const std::string digits = std::to_string(value);
  const size_t sign = value < 0;
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > sign && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string ProgressText(int64_t received, int64_t size) {
  if (size <= 0) return GroupedDigits(received) + " bytes received.";
  return GroupedDigits(received) + " of " + GroupedDigits(size) + " bytes received.";
}

// In 128 bits, so that no size a file system allows can overflow.
int ProgressPercent(int64_t received, int64_t size) {
  if (size <= 0 || received <= 0) return 0;
  return int(std::min<__int128>(__int128(received) * 100 / size, 100));
}
