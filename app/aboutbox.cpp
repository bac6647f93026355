#include "app/aboutbox.h"

#include "app/dialog_seam.h"

TAboutBoxDlg::TAboutBoxDlg() {
  Window = forms::CreateFormWindow({.name = "AboutBoxDlg",
                                    .caption = "About Tolvane Device Diagnositc",
                                    .kind = forms::FormKind::Dialog,
                                    .menuName = "",
                                    .clientWidth = 311,
                                    .clientHeight = 210,
                                    .left = 0,
                                    .top = 0,
                                    .font = {"MS Sans Serif", -11}});
  forms::TFormWindow& w = *Window;
  GroupBox1 = w.AddGroupBox(w.Client(), "GroupBox1", "", {8, 8, 297, 145});
  GroupBox1->SetAccessibleName("About");
  w.SetFont(GroupBox1, {"Arial", -12});
  Label4 = w.AddLabel(GroupBox1, "Label4", "Tolvane Fingerprint Device Diagnostic Utility", 19, 25, {.bold = true});
  // Centred on its design place: the text grows to both sides.
  lblVersion = w.AddValueLabel(GroupBox1, "lblVersion", "Ver 4.8", {102, 46, 93, Label4->Height()},
                               {.bold = true, .alignment = forms::Alignment::Center});
  OKBtn = w.AddButton(w.Client(), "OKBtn", "OK", {118, 168, 75, 25});
  w.SetDefaultButton(OKBtn);
  OKBtn->OnClick = [this] { Window->EndModal(kModalResultOk); };
  FormCreate();
}

void TAboutBoxDlg::FormCreate() { lblVersion->SetCaption("Ver 4.83"); }
