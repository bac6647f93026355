// The second page control's pages, "Smart Capture" and "Etc.", at their design
// coordinates. The page control lies beyond the visible client area.
#include <string>

#include "app/mainform.h"

namespace {

// The detail group's three columns of caption and value, and the caption of
// the brightness list after them.
constexpr int kDetailColumns[] = {16, 172, 308, 440};

// A caption with its value label right behind it, up to the next column.
forms::TLabel* AddDetailValue(forms::TFormWindow& window, forms::TGroupBox* group, const std::string& name,
                              const std::string& caption, const std::string& value, int column, int top) {
  forms::TLabel* title = window.AddLabel(group, "", caption, kDetailColumns[column], top);
  const int left = title->BoundsRect().Right() + 4;
  forms::TLabel* shown =
      window.AddValueLabel(group, name, value, {left, top, kDetailColumns[column + 1] - 4 - left, title->Height()});
  title->SetFocusControl(shown);
  return shown;
}

// An image's capture time right behind the image's caption.
forms::TLabel* AddCaptureTime(forms::TFormWindow& window, forms::TTabSheet* page, const std::string& name,
                              const std::string& caption, int left) {
  forms::TLabel* title = window.AddLabel(page, "", caption, left, 105);
  forms::TLabel* time =
      window.AddValueLabel(page, name, "0 ms", {title->BoundsRect().Right() + 5, 105, 60, title->Height()});
  title->SetFocusControl(time);
  return time;
}

struct TuningBar {
  forms::TScrollBar* bar;
  forms::TLabel* position;
};

// A scroll bar with its caption above and its minimum, current and maximum
// value labels between caption and bar.
TuningBar AddTuningBar(forms::TFormWindow& window, forms::TTabSheet* page, const std::string& barName,
                       const std::string& labelName, const std::string& caption, int minimum, int maximum,
                       int position, int left) {
  constexpr int kTop = 545;
  constexpr int kWidth = 121;
  forms::TLabel* title = window.AddLabel(page, "", caption, left, kTop);
  forms::TLabel* minLabel = window.AddLabel(page, "", std::to_string(minimum), left, kTop + 16);
  forms::TLabel* current = window.AddValueLabel(page, labelName, std::to_string(position),
                                                {left + 40, kTop + 16, 41, minLabel->Height()},
                                                {.alignment = forms::Alignment::Center});
  title->SetFocusControl(current);
  forms::TLabel* maxLabel = window.AddLabel(page, "", std::to_string(maximum), 0, kTop + 16);
  maxLabel->SetBounds({left + kWidth - maxLabel->Width(), kTop + 16, maxLabel->Width(), maxLabel->Height()});
  forms::TScrollBar* bar = window.AddScrollBar(page, barName, minimum, maximum, position, {left, kTop + 34, kWidth, 16});
  bar->SetAccessibleName(caption);
  return {bar, current};
}

}  // namespace

void TForm1::CreateSmartCapturePage() {
  forms::TFormWindow& w = *Window;
  TabSmartCapture = w.AddTabSheet(PageControl2, "TabSmartCapture", "Smart Capture");
  forms::TTabSheet* page = TabSmartCapture;

  GroupBoxScDetail = w.AddGroupBox(page, "GroupBoxScDetail", "Smart capture detail", {3, 3, 630, 91});
  LabelScVersion = AddDetailValue(w, GroupBoxScDetail, "LabelScVersion", "Version:", "Unknown", 0, 22);
  LabelScCaptureSpeed = AddDetailValue(w, GroupBoxScDetail, "LabelScCaptureSpeed", "Capture speed:", "0", 0, 44);
  LabelScGrayQuality =
      AddDetailValue(w, GroupBoxScDetail, "LabelScGrayQuality", "Gray quality of first image:", "0", 0, 66);
  LabelScInitBrightness =
      AddDetailValue(w, GroupBoxScDetail, "LabelScInitBrightness", "Init brightness:", "0", 1, 22);
  LabelScSmartBrightness =
      AddDetailValue(w, GroupBoxScDetail, "LabelScSmartBrightness", "Smart brightness:", "0", 1, 44);
  LabelScNumOfCaptures = AddDetailValue(w, GroupBoxScDetail, "LabelScNumOfCaptures", "Total capture:", "0", 1, 66);
  LabelScErrorCode = AddDetailValue(w, GroupBoxScDetail, "LabelScErrorCode", "Error code:", "0", 2, 22);
  LabelScLineDiffMax = AddDetailValue(w, GroupBoxScDetail, "LabelScLineDiffMax", "Line Diff Max:", "0", 2, 44);
  forms::TLabel* brightnesses = w.AddLabel(GroupBoxScDetail, "", "Brightnesses:", kDetailColumns[3], 22);
  ListBoxScBrightnesses = w.AddListBox(GroupBoxScDetail, "ListBoxScBrightnesses", {513, 22, 90, 57});
  brightnesses->SetFocusControl(ListBoxScBrightnesses);

  const std::string firstImage = "First Image:";
  const std::string secondImage = "Second Image (split):";
  LabelImage1CaptureTime = AddCaptureTime(w, page, "LabelImage1CaptureTime", firstImage, 6);
  LabelImage2CaptureTime = AddCaptureTime(w, page, "LabelImage2CaptureTime", secondImage, 322);

  BevelScImageFrame = w.AddBevel(page, "BevelScImageFrame", {3, 125, 304, 404});
  ImageScImage = w.AddDrawingArea(page, "ImageScImage", {4, 126, 300, 400});
  ImageScImage->SetAccessibleName(firstImage);
  BevelScImageSplitFrame = w.AddBevel(page, "BevelScImageSplitFrame", {324, 125, 304, 404});
  ImageScImageSplit = w.AddDrawingArea(page, "ImageScImageSplit", {325, 126, 300, 400});
  ImageScImageSplit->SetAccessibleName(secondImage);

  CheckBoxShowSmartCaptureDetail = w.AddCheckBox(page, "CheckBoxShowSmartCaptureDetail",
                                                 "Show Details on Smart Capture ", {11, 541, 200, 17});
  CheckBoxShowSmartCaptureDetail->SetEnabled(false);
  CheckBoxSmartCapture = w.AddCheckBox(page, "CheckBoxSmartCapture", "Enable Smart Capture", {11, 564, 200, 17});
  CheckBoxSharpness = w.AddCheckBox(page, "CheckBoxSharpness", "Enable Sharpness", {11, 587, 200, 17});
  CheckBoxSharpness->SetChecked(true);
  CheckBoxUseCallback = w.AddCheckBox(page, "CheckBoxUseCallback", "Use Callback", {11, 609, 200, 17});
  CheckBoxUseCallback->SetChecked(true);

  const TuningBar brightness =
      AddTuningBar(w, page, "ScrollBarBrightness", "LabelBrightness", "Brightness:", 0, 100, 50, 222);
  ScrollBarBrightness = brightness.bar;
  LabelBrightness = brightness.position;
  const TuningBar gainMax = AddTuningBar(w, page, "ScrollBarGainMax", "LabelGainMax", "Gain Max:", 9, 108, 58, 371);
  ScrollBarGainMax = gainMax.bar;
  LabelGainMax = gainMax.position;
  const TuningBar gainMin = AddTuningBar(w, page, "ScrollBarGainMin", "LabelGainMin", "Gain Min:", 0, 8, 8, 505);
  ScrollBarGainMin = gainMin.bar;
  LabelGainMin = gainMin.position;

  ButtonOpenSCDFile = w.AddButton(page, "ButtonOpenSCDFile", "Open SCDFile...", {10, 644, 96, 25});
  ButtonOpenSCDFile->SetEnabled(false);
  forms::TLabel* path = w.AddLabel(page, "", "SCD path:", 221, 640);
  EditScdFilePath = w.AddEdit(page, "EditScdFilePath", {221, 656, 319, 21}, {.readOnly = true});
  path->SetFocusControl(EditScdFilePath);
}

void TForm1::CreateEtcPage() {
  forms::TFormWindow& w = *Window;
  TabEtc = w.AddTabSheet(PageControl2, "TabEtc", "Etc.");
  LabelResetCmosWarning = w.AddLabel(TabEtc, "LabelResetCmosWarning", "Warning: HR20 2205 or later only", 8, 10);
  LabelResetCmosWarning->SetFontColor(forms::kRed);
  GroupBoxResetCmos = w.AddGroupBox(TabEtc, "GroupBoxResetCmos", " Reset CMOS for HR20", {8, 30, 200, 60});
  ButtonResetCmos = w.AddButton(GroupBoxResetCmos, "ButtonResetCmos", "Reset CMOS", {12, 22, 90, 25});
}
