#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <utility>

#include "app/dialog_seam.h"
#include "forms/qt/qt_dialogs.h"

namespace {

TEST(DialogSeamTest, FiltersBecomeQtFilters) {
  using forms::qt::QtFileFilter;
  EXPECT_EQ(QtFileFilter("Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*"),
            "Bmp files (*.bmp);;All files (*.*)");
  EXPECT_EQ(QtFileFilter("Logs|*.log"), "Logs (*.log)");
}

TEST(DialogSeamTest, FileDialogAppliesTheDefaultExtensionAndCancels) {
  DialogSeam seam;
  TFileDialog dialog(seam, true);
  dialog.DefaultExt = "bmp";
  seam.nextFileNames = {std::string("/tmp/finger"), std::string("/tmp/finger.raw"), std::nullopt};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/finger.bmp");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/finger.raw");
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(seam.fileDialogsShown, 3);
}

TEST(DialogSeamTest, MessageBoxesAreRecordedAndAnswered) {
  DialogSeam seam;
  seam.nextAnswers.push_back(kModalResultOk);
  EXPECT_EQ(seam.MessageBox(nullptr, "Not support this .scd file", "ERROR", MessageIcon::Error),
            kModalResultOk);
  ASSERT_EQ(seam.shownMessages.size(), 1u);
  EXPECT_EQ(seam.shownMessages[0].caption, "ERROR");
  EXPECT_FALSE(seam.shownMessages[0].owned);
}

// A screen reader hears what kind of message a box brings: its icon's name.
TEST(DialogSeamTest, AMessageBoxIconIsNamedByItsMeaning) {
  for (const auto& [icon, meaning] : {std::pair{MessageIcon::Warning, "Warning"}, std::pair{MessageIcon::Error, "Error"}}) {
    DialogSeam seam;
    QStringList graphics;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      const QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(box);
      for (int i = 0; i < shown->childCount(); ++i) {
        if (shown->child(i)->role() == QAccessible::Graphic) graphics << shown->child(i)->text(QAccessible::Name);
      }
      qobject_cast<QMessageBox*>(box)->accept();
    });
    seam.MessageBox(nullptr, "Not support this .scd file", "ERROR", icon);
    EXPECT_EQ(graphics, QStringList{QString::fromLatin1(meaning)});
  }
}

}  // namespace
