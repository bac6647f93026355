// What the Win32 toolkit gives beyond the contract: the names screen readers
// read through MSAA, the main window's client area under its menu, and the
// real program with its resources, started, read and closed from outside.
// <windows.h> first: the accessibility header builds on it.
#include "platform/win32.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/mainform.h"
#include "forms/application.h"
#include "forms/win32/window_control.h"
#include "tests/end_to_end/running_program.h"
#include "tests/forms/win32/msaa.h"
#include "tests/forms/win32/window_of.h"

namespace {

using probe::win32::ReadAccessible;
using probe::win32::WindowOf;

class MainFormTest : public ::testing::Test {
 protected:
  // No reader is attached: the form stays in its design state, since no
  // message is handled here and its first enumeration waits for its timer.
  std::unique_ptr<TForm1> form_ = std::make_unique<TForm1>();
};

// Under Wine 8 MSAA gives names and an edit's value; roles, check states and
// a combo box's value need a real Windows run.
TEST_F(MainFormTest, ScreenReadersReadCaptionsAndValues) {
  EXPECT_EQ(ReadAccessible(WindowOf(form_->BtnInit)).name, "Init");
  EXPECT_EQ(ReadAccessible(WindowOf(form_->CheckBoxSRFeature)).name, "SR feature (Read Only)");
  EXPECT_EQ(ReadAccessible(WindowOf(form_->LabelSelectDevice)).name, "Select a Fingerprint Device :");
  form_->EditFWVer->SetText("2.05");
  EXPECT_EQ(ReadAccessible(WindowOf(form_->EditFWVer)).value, "2.05");
  EXPECT_EQ(ReadAccessible(WindowOf(form_->StatusBar)).name, "Click init button to initialize device");
  // An edit is named by the label created just before it.
  EXPECT_EQ(ReadAccessible(WindowOf(form_->EditFWVer)).name, "Firmware Version :");
  // A caption the program changes is the name from then on.
  form_->BtnContCapture->SetCaption("Stop Capturing");
  EXPECT_EQ(ReadAccessible(WindowOf(form_->BtnContCapture)).name, "Stop Capturing");
}

TEST_F(MainFormTest, TheClientAreaUnderTheMenuHasTheFormsSize) {
  HWND window = form_->Window->Handle();
  ASSERT_NE(GetMenu(window), nullptr);
  EXPECT_EQ(GetMenuItemCount(GetMenu(window)), 5);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, TForm1::kClientWidth);
  EXPECT_EQ(client.bottom - client.top, TForm1::kClientHeight);
  EXPECT_EQ(TForm1::kClientWidth, 370);
  EXPECT_EQ(TForm1::kClientHeight, 604);
}

class FormWindowTest : public ::testing::Test {
 protected:
  forms::FormDescription Description(forms::FormKind kind) {
    return {.name = "Form",
            .caption = "Form",
            .kind = kind,
            .menuName = "",
            .clientWidth = 200,
            .clientHeight = 150,
            .left = 0,
            .top = 0,
            .font = {"MS Sans Serif", -11}};
  }
  std::unique_ptr<forms::TFormWindow> window_ = forms::CreateFormWindow(Description(forms::FormKind::Main));
};

// What a driver draws from its own thread is on the window at once, inside
// the frame made before the area; a repaint asks the form to draw its image again.
TEST_F(FormWindowTest, ADriversDrawingShowsAtOnceAndARepaintAsksTheFormAgain) {
  forms::TPageControl* pages = window_->AddPageControl(window_->Client(), "Pages", {0, 0, 200, 150});
  forms::TTabSheet* sheet = window_->AddTabSheet(pages, "Sheet", "Sheet");
  window_->AddBevel(sheet, "Frame", {9, 9, 18, 18});
  forms::TDrawingArea* area = window_->AddDrawingArea(sheet, "Area", {10, 10, 16, 16});
  int paints = 0;
  window_->OnPaint = [&] { ++paints; };
  window_->Show();
  forms::Application::ProcessMessages(20);
  constexpr BYTE kGray = 0x40;
  std::thread driver([&] {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD palette[256];
    } gray{};
    gray.header = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    for (int i = 0; i < 256; ++i) gray.palette[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
    const std::vector<BYTE> pixels(16 * 16, kGray);
    const RECT place = area->DrawBounds();
    HDC dc = GetDC(area->Handle());
    StretchDIBits(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, 0, 0, 16, 16,
                  pixels.data(), reinterpret_cast<const BITMAPINFO*>(&gray), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(area->Handle(), dc);
  });
  driver.join();
  HDC dc = GetDC(area->Handle());
  EXPECT_EQ(GetPixel(dc, 8, 8), RGB(kGray, kGray, kGray));
  ReleaseDC(area->Handle(), dc);
  paints = 0;
  InvalidateRect(area->Handle(), nullptr, TRUE);
  UpdateWindow(area->Handle());
  EXPECT_EQ(paints, 1);
}

// The owner takes no input while its dialog is up; WM_CLOSE cancels.
TEST_F(FormWindowTest, AModalDialogDisablesTheMainWindowUntilItEnds) {
  std::unique_ptr<forms::TFormWindow> dialog = forms::CreateFormWindow(Description(forms::FormKind::Dialog));
  window_->Show();
  bool ownerDisabled = false;
  dialog->PostCall([&] {
    ownerDisabled = !IsWindowEnabled(window_->Handle());
    dialog->EndModal(kModalResultOk);
  });
  EXPECT_EQ(dialog->ShowModal(), kModalResultOk);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(window_->Handle()));
  EXPECT_FALSE(dialog->Visible());
  dialog->PostCall([&] { PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(dialog->ShowModal(), IDCANCEL);
}

// A click that arrives while a stop waits is dropped, not run afterwards.
TEST_F(FormWindowTest, TheWaitOfAStopDropsClicks) {
  forms::TButton* button = window_->AddButton(window_->Client(), "Button", "Button", {0, 0, 80, 25});
  int clicks = 0;
  button->OnClick = [&] { ++clicks; };
  window_->Show();
  const auto click = [&] {
    PostMessageA(WindowOf(button), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(WindowOf(button), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  };
  click();
  forms::Application::ProcessMessages(20);
  ASSERT_EQ(clicks, 1) << "a posted click does not press the button at all";
  bool stopped = false;
  window_->PostCall([&] {
    click();
    window_->PostCall([&] { stopped = true; });
  });
  window_->WaitWhile([&] { return !stopped; });
  forms::Application::ProcessMessages(20);
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormWindowTest, SentMessagesAreAnsweredByTheFormsDispatch) {
  window_->OnMessage = [](UINT message, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(message + wParam); };
  EXPECT_EQ(SendMessageA(window_->Handle(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0),
            WM_POWERBROADCAST + PBT_APMQUERYSUSPEND);
  EXPECT_EQ(SendMessageA(window_->Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0),
            WM_DEVICECHANGE + DBT_DEVICEARRIVAL);
  EXPECT_EQ(SendMessageA(window_->Handle(), 0x8100, 1, 0), 0x8101);
}

TEST_F(FormWindowTest, TheEndOfTheSessionClosesTheMainWindow) {
  window_->Show();
  EXPECT_TRUE(SendMessageA(window_->Handle(), WM_QUERYENDSESSION, 0, 0));
  EXPECT_FALSE(window_->Visible());
}

// The program, and its installer when TOLVANE_DIAG_PROGRAM names that, carry
// the product's version, the texts in the table of the file's own translation.
TEST(ProgramTest, CarriesItsVersion) {
  const std::string program = e2e::ProgramPath();
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(program.c_str(), &ignored));
  ASSERT_FALSE(block.empty()) << program;
  ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(83, 4));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(83, 4));
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size));
  char table[32] = {};
  std::snprintf(table, sizeof table, "\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
  const auto text = [&](const std::string& name) -> std::string {
    char* value = nullptr;
    return VerQueryValueA(block.data(), (table + name).c_str(), reinterpret_cast<void**>(&value), &size) ? value : "";
  };
  EXPECT_EQ(text("ProductVersion"), "4.83");
  EXPECT_EQ(text("ProductName"), "Tolvane Fingerprint Device Diagnostic Utility");
}

// ---- the real program, from outside -------------------------------------------------

// On a machine without the family's drivers the program lists no reader, and
// closes cleanly when asked to.
TEST(ProgramTest, StartsListsNoReaderAndClosesOnRequest) {
  e2e::RunningProgram program;
  ASSERT_NE(program.Window(), nullptr);
  EXPECT_EQ(e2e::TextOf(program.Window()), "Tolvane Device Diagnostic Utility 4.83");
  EXPECT_TRUE(program.WaitForStatus("No fingerprint device found.", std::chrono::seconds(30)));
  // The selector's design items are gone with the enumeration.
  EXPECT_TRUE(program.SelectorItems().empty());
  EXPECT_EQ(program.Close(), 0u);
}

}  // namespace
