// A driver module need not be written in C++: it may hand back a plain record
// whose first member points at a table of C functions. Calling such a module
// through ISensor catches any slot of the interface that drifts.
#include <gtest/gtest.h>

#include <cstdint>
#include <typeinfo>
#include <utility>

#include "device/sensor.h"

namespace {

struct CSensor;
typedef uint32_t (*SlotFunction)(CSensor* self);

// The table as this ABI lays it out: offset to the object's top and its type
// (read by run-time type checks), then the functions the object pointer meets.
struct CSensorTable {
  intptr_t offsetToTop;
  const std::type_info* type;
  SlotFunction slots[kSensorSlotCount];
};

struct CSensor {
  const SlotFunction* table;
  int lastSlot;
};

constexpr uint32_t kSlotResult = 1000;

// Each slot ignores its arguments, notes its number and returns it.
template <int Slot>
uint32_t RecordSlot(CSensor* self) {
  self->lastSlot = Slot;
  return kSlotResult + Slot;
}

template <int... Slots>
constexpr CSensorTable MakeTable(std::integer_sequence<int, Slots...>) {
  return {0, &typeid(ISensor), {&RecordSlot<Slots>...}};
}

const CSensorTable table = MakeTable(std::make_integer_sequence<int, kSensorSlotCount>());

TEST(SensorSlots, EveryOperationCallsItsSlot) {
  static_assert(sizeof(ISensor) == sizeof(void*), "the interface carries no data");
  CSensor module{table.slots, -1};
  ISensor* sensor = reinterpret_cast<ISensor*>(&module);
  // The slots never look at their arguments.
  const std::pair<int, uint32_t (*)(ISensor*)> calls[] = {
      {0, [](ISensor* s) { return s->Reserved00(); }},
      {1, [](ISensor* s) { return s->OpenDevice(0, 0); }},
      {2, [](ISensor* s) { return s->GetImage(nullptr); }},
      {3, [](ISensor* s) { return s->Reserved03(); }},
      {4, [](ISensor* s) { return s->GetDeviceInfo(nullptr); }},
      {5, [](ISensor* s) { return s->Configure(nullptr); }},
      {6, [](ISensor* s) { return s->ResetCmos(); }},
      {7, [](ISensor* s) { return s->Reserved07(); }},
      {8, [](ISensor* s) { return s->SetBrightness(5); }},
      {9, [](ISensor* s) { return s->Reserved09(); }},
      {10, [](ISensor* s) { return s->Reserved10(); }},
      {11, [](ISensor* s) { return s->SetLed(1); }},
      {12, [](ISensor* s) { return s->Reserved12(); }},
      {13, [](ISensor* s) { return s->Reserved13(); }},
      {14, [](ISensor* s) { return s->Reserved14(); }},
      {15, [](ISensor* s) { return s->Reserved15(); }},
      {16, [](ISensor* s) { return s->SetOption(kOptionCaptureMode, 1); }},
      {17, [](ISensor* s) { return s->GetOption(kOptionCaptureMode); }},
      {18, [](ISensor* s) { return s->Reserved18(); }},
      {19, [](ISensor* s) { return s->Reserved19(); }},
      {20, [](ISensor* s) { return s->Reserved20(); }},
      {21, [](ISensor* s) { return s->Reserved21(); }},
      {22,
       [](ISensor* s) { return s->GetImageEx(nullptr, kLiveCaptureTimeout, nullptr, nullptr, kLiveCaptureFrames); }},
      {23, [](ISensor* s) { return s->SetImageCallback(0, nullptr, nullptr); }},
      {24, [](ISensor* s) { return s->Reserved24(); }},
      {25, [](ISensor* s) { return s->CloseDevice(); }},
      {26, [](ISensor* s) { return s->Reserved26(); }},
      {27, [](ISensor* s) { return s->Reserved27(); }},
      {28, [](ISensor* s) { return s->Reserved28(); }},
      {29, [](ISensor* s) { return s->Reserved29(); }},
      {30, [](ISensor* s) { return s->Reserved30(); }},
      {31, [](ISensor* s) { return s->EnableAutoOn(1, nullptr, 0); }},
      {32, [](ISensor* s) { return s->Reserved32(); }},
      {33, [](ISensor* s) { return s->Reserved33(); }},
      {34, [](ISensor* s) { return s->Reserved34(); }},
      {35, [](ISensor* s) { return s->Reserved35(); }},
      {36, [](ISensor* s) { return s->Control(kControlLogSize, nullptr); }},
  };
  static_assert(std::size(calls) == kSensorSlotCount);
  for (const auto& [slot, call] : calls) {
    EXPECT_EQ(call(sensor), kSlotResult + slot) << "slot " << slot;
    EXPECT_EQ(module.lastSlot, slot);
  }
}

}  // namespace
