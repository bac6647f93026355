// A sensor object of one reader model driving a fake reader at device index 0.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "simulator/modules/catalog.h"
#include "simulator/modules/sensor_object.h"
#include "tests/simulator_modules/fake_reader_port.h"

namespace simulator::testing {

class SensorFixture : public ::testing::Test {
 protected:
  void MakeSensor(uint32_t type) {
    model = FindReaderModel(type);
    ASSERT_NE(model, nullptr);
    sensor = std::make_unique<SensorObject>(*model, [this](uint32_t index) {
      return index == 0 ? std::static_pointer_cast<ReaderPort>(port) : nullptr;
    });
  }
  void OpenSensor(uint32_t type) {
    MakeSensor(type);
    ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  }
  size_t ImageBytes() const {
    return static_cast<size_t>(model->width) * static_cast<size_t>(model->height);
  }

  std::shared_ptr<FakeReaderPort> port = std::make_shared<FakeReaderPort>();
  const ReaderModel* model = nullptr;
  std::unique_ptr<SensorObject> sensor;
};

}  // namespace simulator::testing
