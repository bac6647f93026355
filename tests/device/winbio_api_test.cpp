// The framework wrappers and unit matching, without any framework loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "device/sensor.h"
#include "device/wbf_usb_device.h"
#include "device/winbio_api.h"

namespace {

void SetText(WINBIO_STRING& field, const char16_t* text) {
  std::memset(field, 0, sizeof field);
  for (size_t i = 0; text[i] && i < WINBIO_MAX_STRING_LEN; ++i) field[i] = text[i];
}

std::unique_ptr<WINBIO_UNIT_SCHEMA> Unit(const char16_t* manufacturer, const char16_t* model) {
  auto unit = std::make_unique<WINBIO_UNIT_SCHEMA>();
  std::memset(unit.get(), 0, sizeof *unit);
  SetText(unit->Manufacturer, manufacturer);
  SetText(unit->Model, model);
  return unit;
}

TEST(FrameworkUnitMatching, NeedsTheMakerAndTheGenerationDigits) {
  const WideText hmx05 = FrameworkModelPattern(kReaderHmx05);
  EXPECT_EQ(hmx05, (WideText{'0', '5'}));
  EXPECT_TRUE(FrameworkModelPattern(kReaderAny).empty());
  EXPECT_TRUE(FrameworkModelPattern(kReaderParallel).empty());

  EXPECT_TRUE(IsMakerUnit(*Unit(u"Tolvane Inc.", u"HMX05 R20"), hmx05));
  EXPECT_FALSE(IsMakerUnit(*Unit(u"Tolvane", u"HMX04"), hmx05));
  EXPECT_FALSE(IsMakerUnit(*Unit(u"Acme", u"HMX05"), hmx05));
  EXPECT_FALSE(IsMakerUnit(*Unit(u"Acme", u"HMX05"), FrameworkModelPattern(kReaderAny)));
  EXPECT_TRUE(IsMakerUnit(*Unit(u"Tolvane", u"anything"), FrameworkModelPattern(kReaderAny)));
}

TEST(FrameworkUnitMatching, ReadsTextsOnlyWithinTheirFields) {
  auto unit = Unit(u"", u"");
  // A manufacturer text that fills its field without a terminator; "Tolvane"
  // would only be found by reading on into the model field.
  for (WCHAR& c : unit->Manufacturer) c = u'x';
  SetText(unit->Model, u"Tolvane 05");
  EXPECT_FALSE(IsMakerUnit(*unit, FrameworkModelPattern(kReaderHmx05)));
}

TEST(FrameworkWrappers, MissingEntryPointsAnswerSixAndTheOpenFails) {
  WinBioApi::Unload();
  WINBIO_SESSION_HANDLE session = 0;
  WINBIO_UNIT_SCHEMA* units = nullptr;
  SIZE_T count = 0;
  EXPECT_EQ(WinBioApi::OpenSession(8, 1, 0, nullptr, 0, nullptr, &session), 6);
  EXPECT_EQ(WinBioApi::EnumBiometricUnits(8, &units, &count), 6);
  EXPECT_EQ(WinBioApi::LockUnit(0, 1), 6);
  EXPECT_EQ(WinBioApi::ControlUnit(0, 1, 1, 0, nullptr, 0, nullptr, 0, nullptr, nullptr), 6);
  EXPECT_TRUE(WinBioSucceeded(6));
  EXPECT_EQ(session, 0u);
  EXPECT_EQ(units, nullptr);

  // Such a session yields no units, so the reader cannot be opened.
  WbfAvailable = true;
  WbfUsbDevice channel(kReaderHmx05);
  EXPECT_EQ(channel.Open(0), kStatusSystemFileLoadFail);
  EXPECT_FALSE(channel.IsOpen());
  WbfAvailable = false;
  EXPECT_EQ(channel.Open(0), kStatusSystemFileLoadFail);
}

}  // namespace
