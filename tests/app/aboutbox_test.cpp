#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "app/aboutbox.h"
#include "legible_texts.h"

namespace {

TEST(AboutBoxTest, ShowsTheVersionOfThisBuild) {
  TAboutBoxDlg about;
  EXPECT_EQ(about.lblVersion->text(), "Ver 4.83");
  EXPECT_EQ(about.windowTitle(), "About Tolvane Device Diagnositc");
  EXPECT_EQ(about.Label4->text(), "Tolvane Fingerprint Device Diagnostic Utility");
  EXPECT_TRUE(about.Label4->font().bold());
  EXPECT_EQ(about.size(), QSize(311, 210));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  about.show();
  EXPECT_EQ(CutTexts(&about), std::vector<std::string>{});
}

TEST(AboutBoxTest, OkIsTheDefaultButtonAndClosesWithResultOk) {
  TAboutBoxDlg about;
  EXPECT_EQ(about.OKBtn->geometry(), QRect(118, 168, 75, 25));
  EXPECT_TRUE(about.OKBtn->isDefault());
  about.show();
  about.OKBtn->click();
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), 1);
}

}  // namespace
