#include "app/dialog_seam.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QString IconMeaning(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::Information: return QStringLiteral("Information");
    case QMessageBox::Warning: return QStringLiteral("Warning");
    case QMessageBox::Critical: return QStringLiteral("Error");
    case QMessageBox::Question: return QStringLiteral("Question");
    case QMessageBox::NoIcon: break;
  }
  return QString();
}

}  // namespace

void NameMessageIcon(QMessageBox& box) {
  auto* icon = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
  if (icon) icon->setAccessibleName(IconMeaning(box.icon()));
}

int DialogSeam::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                           MessageIcon icon) {
  shownMessages.push_back(Message{caption, text, icon, owner != nullptr});
  if (!nextAnswers.empty()) {
    const int answer = nextAnswers.front();
    nextAnswers.pop_front();
    if (whileMessageBoxShown) whileMessageBoxShown();
    return answer;
  }
  QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, owner);
  NameMessageIcon(box);
  box.exec();
  return kModalResultOk;
}

int DialogSeam::ShowModal(QDialog& dialog) {
  ++modalDialogsShown;
  if (!nextAnswers.empty()) {
    const int answer = nextAnswers.front();
    nextAnswers.pop_front();
    return answer;
  }
  return dialog.exec();
}

std::optional<QString> DialogSeam::AskFileName(QWidget* owner, bool save, const QString& title,
                                               const QString& fileName, const QString& filter) {
  ++fileDialogsShown;
  if (!nextFileNames.empty()) {
    if (!nextFileNames.front()) {
      nextFileNames.pop_front();
      return std::nullopt;
    }
    QString answer = *nextFileNames.front();
    nextFileNames.pop_front();
    return answer;
  }
  const QString qtFilter = QtFileFilter(filter);
  const QString chosen = save ? QFileDialog::getSaveFileName(owner, title, fileName, qtFilter)
                              : QFileDialog::getOpenFileName(owner, title, fileName, qtFilter);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

TFileDialog::TFileDialog(DialogSeam& seam, QWidget* owner, bool save)
    : seam_(seam), owner_(owner), save_(save) {}

bool TFileDialog::Execute() {
  const std::optional<QString> chosen = seam_.AskFileName(owner_, save_, Title, FileName, Filter);
  if (!chosen || chosen->isEmpty()) return false;
  FileName = WithDefaultExtension(*chosen, DefaultExt);
  return true;
}

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    entries << (description.contains(QLatin1Char('('))
                    ? description
                    : description + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')'));
  }
  return entries.join(QStringLiteral(";;"));
}

QString WithDefaultExtension(const QString& name, const QString& ext) {
  if (ext.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
  return name + QLatin1Char('.') + ext;
}
