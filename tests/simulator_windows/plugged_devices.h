// Devices plugged into the running driver for one test, all unplugged after it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulator/windows/driver_control.h"
#include "tests/channels/driver_answer_cases.h"

class PluggedDevices : public testing::Test {
 protected:
  void TearDown() override {
    std::string error;
    for (const driver_cases::TableReader& reader : readers_) simwin::DriverUnplug(reader.name, reader.index, error);
    for (const auto& [vendorId, productId] : foreign_) simwin::DriverUnplugForeign(vendorId, productId, error);
  }

  void Plug(const driver_cases::TableReader& r, bool framework = false) {
    std::string error;
    const simwin::ReaderRecord record{r.name, r.index, r.type, 0x2F3D, r.productId, r.release, r.serial, framework};
    ASSERT_TRUE(simwin::DriverPlug(record, error)) << error;
    readers_.push_back(r);
  }
  static void Unplug(const driver_cases::TableReader& r) {
    std::string error;
    ASSERT_TRUE(simwin::DriverUnplug(r.name, r.index, error)) << error;
  }
  void PlugForeign(uint16_t vendorId, uint16_t productId) {
    std::string error;
    ASSERT_TRUE(simwin::DriverPlugForeign(vendorId, productId, error)) << error;
    foreign_.emplace_back(vendorId, productId);
  }
  static void UnplugForeign(uint16_t vendorId, uint16_t productId) {
    std::string error;
    ASSERT_TRUE(simwin::DriverUnplugForeign(vendorId, productId, error)) << error;
  }

 private:
  std::vector<driver_cases::TableReader> readers_;
  std::vector<std::pair<uint16_t, uint16_t>> foreign_;
};
