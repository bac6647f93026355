// The About box: names the utility and its version.
#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

class TAboutBoxDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBoxDlg(QWidget* parent = nullptr);

  QPushButton* OKBtn = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* lblVersion = nullptr;

  void FormCreate();

 protected:
  void showEvent(QShowEvent* event) override;
};
