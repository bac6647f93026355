#include <QWidget>
#include <gtest/gtest.h>

#include "app/aboutbox.h"
#include "form_fixture.h"
#include "legible_texts.h"

namespace {

TEST(AboutBoxTest, ShowsTheVersionOfThisBuild) {
  TAboutBoxDlg about;
  EXPECT_EQ(about.lblVersion->Caption(), "Ver 4.83");
  EXPECT_EQ(about.Window->Caption(), "About Tolvane Device Diagnositc");
  EXPECT_EQ(about.Label4->Caption(), "Tolvane Fingerprint Device Diagnostic Utility");
  EXPECT_TRUE(about.Label4->Bold());
  const QWidget* window = W(about.Window.get());
  EXPECT_EQ(window->size(), QSize(311, 210));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  about.Window->Show();
  EXPECT_EQ(CutTexts(window), std::vector<std::string>{});
}

TEST(AboutBoxTest, OkIsTheDefaultButtonAndClosesWithResultOk) {
  TAboutBoxDlg about;
  EXPECT_EQ(about.OKBtn->BoundsRect(), (forms::Bounds{118, 168, 75, 25}));
  EXPECT_TRUE(static_cast<QPushButton*>(W(about.OKBtn))->isDefault());
  int result = -1;
  about.Window->PostCall([&] { about.OKBtn->Click(); });
  result = about.Window->ShowModal();
  EXPECT_FALSE(about.Window->Visible());
  EXPECT_EQ(result, 1);
}

}  // namespace
