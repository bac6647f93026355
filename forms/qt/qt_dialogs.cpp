#include "forms/qt/qt_dialogs.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStringList>

#include "forms/dialogs.h"
#include "forms/form_window.h"
#include "forms/qt/qt_components.h"

namespace forms::qt {

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

QWidget* OwnerWidget(TFormWindow* owner) { return owner ? WidgetOf(owner) : nullptr; }

// A message box's icon says what kind of message it is; screen readers hear
// that as the icon's name ("Warning", "Error", ...).
void NameMessageIcon(QMessageBox& box) {
  auto* icon = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
  if (icon) icon->setAccessibleName(IconMeaning(box.icon()));
}

}  // namespace


QString QtFileFilter(const std::string& filter) {
  const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    entries << (description.contains(QLatin1Char('('))
                    ? description
                    : description + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')'));
  }
  return entries.join(QStringLiteral(";;"));
}

}  // namespace forms::qt

namespace forms {

void ShowMessageBox(TFormWindow* owner, const std::string& text, const std::string& caption,
                    MessageIcon icon) {
  QMessageBox box(qt::ToQtIcon(icon), qt::ToQt(caption), qt::ToQt(text), QMessageBox::Ok,
                  qt::OwnerWidget(owner));
  qt::NameMessageIcon(box);
  box.exec();
}

std::optional<std::string> AskFileName(TFormWindow* owner, const FileDialogOptions& options) {
  QWidget* parent = qt::OwnerWidget(owner);
  const QString title = qt::ToQt(options.title);
  const QString fileName = qt::ToQt(options.fileName);
  const QString filter = qt::QtFileFilter(options.filter);
  const QString chosen = options.save ? QFileDialog::getSaveFileName(parent, title, fileName, filter)
                                   : QFileDialog::getOpenFileName(parent, title, fileName, filter);
  if (chosen.isEmpty()) return std::nullopt;
  return qt::FromQt(chosen);
}

}  // namespace forms
