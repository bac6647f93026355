#include "app/aboutbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/form_font.h"

namespace {

QLabel* MakeBoldLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace

TAboutBoxDlg::TAboutBoxDlg(QWidget* parent) : QDialog(parent) {
  setFont(FormFont());
  setWindowTitle(QStringLiteral("About Tolvane Device Diagnositc"));
  setFixedSize(311, 210);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setAccessibleName(QStringLiteral("About"));
  // Where Arial is missing, a face no wider keeps the title inside the frame:
  // the forms' own Tahoma, which the window brings along, before any face the
  // system may lack.
  QFont arial;
  arial.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Tahoma"),
                     QStringLiteral("DejaVu Sans Condensed")});
  arial.setPixelSize(12);
  GroupBox1->setFont(arial);
  GroupBox1->setGeometry(8, 8, 297, 145);

  Label4 = MakeBoldLabel(GroupBox1, "Label4",
                         QStringLiteral("Tolvane Fingerprint Device Diagnostic Utility"));
  Label4->setGeometry(QRect(QPoint(19, 25), Label4->sizeHint()));

  // Centred on its design place: the text grows to both sides.
  lblVersion = MakeBoldLabel(GroupBox1, "lblVersion", QStringLiteral("Ver 4.8"));
  lblVersion->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblVersion->setGeometry(102, 46, 93, lblVersion->sizeHint().height());

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(118, 168, 75, 25);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, [this] { done(1); });

  FormCreate();
}

void TAboutBoxDlg::FormCreate() {
  lblVersion->setText(QStringLiteral("Ver 4.83"));
}

void TAboutBoxDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}
