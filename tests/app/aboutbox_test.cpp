#include <gtest/gtest.h>

#include "app/aboutbox.h"
#include "form_fixture.h"

namespace {

TEST(AboutBoxTest, ShowsTheVersionOfThisBuild) {
  TAboutBoxDlg about;
  EXPECT_EQ(about.lblVersion->Caption(), "Ver 4.83");
  EXPECT_EQ(about.Window->Caption(), "About Tolvane Device Diagnositc");
  EXPECT_EQ(about.Label4->Caption(), "Tolvane Fingerprint Device Diagnostic Utility");
  EXPECT_TRUE(about.Label4->Bold());
  EXPECT_EQ(probe::ClientSize(about.Window.get()), (std::pair{311, 210}));
}

TEST(AboutBoxTest, OkIsTheDefaultButtonAndClosesWithResultOk) {
  TAboutBoxDlg about;
  EXPECT_EQ(about.OKBtn->BoundsRect(), (forms::Bounds{118, 168, 75, 25}));
  EXPECT_TRUE(probe::IsDefaultButton(about.OKBtn));
  int result = -1;
  about.Window->PostCall([&] { about.OKBtn->Click(); });
  result = about.Window->ShowModal();
  EXPECT_FALSE(about.Window->Visible());
  EXPECT_EQ(result, 1);
}

}  // namespace
