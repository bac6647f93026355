// The About box: names the utility and its version.
#pragma once

#include <memory>

#include "forms/form_window.h"

class TAboutBoxDlg {
 public:
  TAboutBoxDlg();

  std::unique_ptr<forms::TFormWindow> Window;
  forms::TButton* OKBtn = nullptr;
  forms::TGroupBox* GroupBox1 = nullptr;
  forms::TLabel* Label4 = nullptr;
  forms::TLabel* lblVersion = nullptr;

  void FormCreate();
};
