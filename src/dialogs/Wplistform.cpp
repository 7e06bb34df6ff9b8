#include "dialogs/Wplistform.h"

#include "app/Mainform.h"
#include "framework/Screen.h"
#include "resource.h"

namespace {

// The preview's window shows the holder's image.
class TImageControl : public TDialogControl {
public:
  TImageControl(TDialog& dialog, int id, TImageView& view) : TDialogControl(dialog, id), FView(view) {}
  void Attach() override { FView.AttachWindow(Handle()); }
  void Detach() override { FView.AttachWindow(nullptr); }

private:
  TImageView& FView;
};

// The layout in pixels of a 96-dpi screen.
constexpr int ListHeight = 225;
constexpr int PreviewWidth = 186;
constexpr int PreviewHeight = 140;
constexpr int Margin = 8;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int LabelHeight = 16;
constexpr int ComboHeight = 120;  // with its list dropped down
constexpr int DialogWidth = 420;
constexpr int DialogHeight = ListHeight + Margin + PreviewHeight + Margin;

}  // namespace

TFormListWP::TFormListWP(TComponent* AOwner) : TDialog(AOwner, IDD_WPLIST) {
  WPListBox = Add<TListBox>(IDC_WPLISTBOX);
  WPListBox->OnClick = TNotifyEvent(this, &TFormListWP::WPListBoxChange);
  WPListBox->OnDblClick = TNotifyEvent(this, &TFormListWP::WPListBoxDblClick);
  ImageHolder1 = new TImageHolder(this);
  ImageHolder1->Width = PreviewWidth;
  ImageHolder1->Height = PreviewHeight;
  ImageHolder1->Background = TColor(DesktopColor());
  Add<TImageControl>(IDC_PREVIEW, *ImageHolder1);
  BitBtn1 = Add<TButton>(idOkButton);
  BitBtn1->OnClick = TNotifyEvent(this, &TFormListWP::BitBtn1Click);
  BitBtn2 = Add<TButton>(idCancelButton);
  BitBtn2->ModalResult = mrCancel;
  MonitorBox = Add<TComboBox>(IDC_MONITOR);
  PreviewTimer = new TTimer(this);
  PreviewTimer->SetEnabled(false);
  PreviewTimer->SetInterval(10);
  PreviewTimer->OnTimer = TNotifyEvent(this, &TFormListWP::PreviewTimerTimer);
  OnShow = TNotifyEvent(this, &TFormListWP::FormShow);
}

void TFormListWP::FormShow(TObject*) {
  SetClientSize(DialogWidth, DialogHeight);
  SetControlBounds(IDC_WPLISTBOX, 0, 0, DialogWidth, ListHeight);
  SetControlBounds(IDC_PREVIEW, Margin, ListHeight + Margin, PreviewWidth, PreviewHeight);
  const int buttonX = DialogWidth - Margin - ButtonWidth;
  SetControlBounds(idOkButton, buttonX, ListHeight + Margin, ButtonWidth, ButtonHeight);
  SetControlBounds(idCancelButton, buttonX, ListHeight + 2 * Margin + ButtonHeight, ButtonWidth, ButtonHeight);
  const int monitorY = ListHeight + 3 * Margin + 2 * ButtonHeight;
  SetControlBounds(IDC_MONITORLABEL, buttonX, monitorY, ButtonWidth, LabelHeight);
  SetControlBounds(IDC_MONITOR, buttonX, monitorY + LabelHeight, ButtonWidth, ComboHeight);
  ShowControl(IDC_MONITORLABEL, ShowMonitors);
  ShowControl(IDC_MONITOR, ShowMonitors);
  // The control was placed after it had been bound: the view takes its new size.
  ImageHolder1->AttachWindow(Control(IDC_PREVIEW)->Handle());
}

// A selection change only asks for a preview. The request is a timer, whose
// tick the message queue hands out only when nothing else waits: while an
// arrow key is held, the selections the key moves through are not decoded,
// and the selection where it stops is previewed once.
void TFormListWP::WPListBoxChange(TObject*) {
  PreviewTimer->SetEnabled(false);
  PreviewTimer->SetEnabled(true);
}

void TFormListWP::PreviewTimerTimer(TObject*) {
  PreviewTimer->SetEnabled(false);
  WPListBoxClick(WPListBox);
}

void TFormListWP::WPListBoxClick(TObject*) {
  ImageHolder1->LoadFromFile(WPListBox->Items[WPListBox->ItemIndex()]);
  ImageHolder1->Fit();
}

void TFormListWP::WPListBoxDblClick(TObject*) { BitBtn1->Click(); }

// OK (the button, Enter, a double-click on the list's empty space) does
// nothing until an entry is selected: there is nothing to apply yet.
void TFormListWP::BitBtn1Click(TObject*) {
  if (WPListBox->ItemIndex() >= 0) SetModalResult(mrOk);
}

// With a picture per monitor the list offers each monitor, numbered in the
// program's order, and "All"; the primary one is chosen at first.
void ListWallpapers(TForm1& controller, TFormListWP& form) {
  controller.BuildWallpaperList();
  form.WPListBox->Items.AddStrings(controller.WallpaperList());
  const std::vector<TMonitor> monitors = controller.Monitors();
  form.ShowMonitors = controller.MonitorsMode(monitors) == mmPerMonitor;
  if (form.ShowMonitors) {
    for (size_t i = 1; i <= monitors.size(); ++i) form.MonitorBox->Items.push_back(std::to_string(i));
    form.MonitorBox->Items.push_back("All");
    form.MonitorBox->SetItemIndex(PrimaryMonitor(monitors));
  }
  if (form.ShowModal() != mrOk || form.WPListBox->ItemIndex() < 0) return;
  const std::string chosen = form.WPListBox->Items[form.WPListBox->ItemIndex()];
  const int monitor = form.ShowMonitors ? form.MonitorBox->ItemIndex() : -1;
  controller.RunChange([&] {
    if (monitor >= 0 && size_t(monitor) < monitors.size())
      controller.SetMonitorWallpaper(monitor, chosen);
    else
      controller.SetWallpaper(chosen);
  });
}
