#include <gtest/gtest.h>

#include <cstring>

#include "device/records.h"

TEST(ReaderTypeTable, NamesEveryGenerationAndNothingElse) {
  struct Expected {
    uint16_t type;
    const char* label;
    const char* module;
  };
  const Expected rows[] = {{1, "Parallel -- HMP02:", "Dacro.dll"},  {3, "USB -- HMX02:", "Omrel.dll"},
                           {4, "USB -- HMX03:", "Qvhx03m.dll"},     {5, "USB -- HMX04:", "Qvhmx04m.dll"},
                           {6, "R20 -- HMX05:", "Qvhmx05m.dll"},    {7, "RPX -- HMX06:", "Qvhmx06m.dll"}};
  for (const Expected& row : rows) {
    const ReaderTypeInfo* info = FindReaderType(row.type);
    ASSERT_NE(info, nullptr) << row.type;
    EXPECT_STREQ(info->label, row.label);
    EXPECT_STREQ(info->module, row.module);
    // Every module name must fit the entry's 20-byte field with its terminator.
    EXPECT_LT(std::strlen(info->module), sizeof(DeviceEntry{}.module));
    // The installed-drivers rows line up: a name padded to six, then ": ".
    EXPECT_EQ(std::strlen(info->driverLabel), 8u) << info->driverLabel;
    EXPECT_STREQ(info->driverLabel + 6, ": ");
  }
  EXPECT_EQ(ReaderTypes().size(), std::size(rows));
  EXPECT_EQ(FindReaderType(2), nullptr);
  EXPECT_EQ(FindReaderType(0), nullptr);
  EXPECT_EQ(FindReaderType(8), nullptr);
  EXPECT_EQ(FindReaderType(1)->lockStem, nullptr);
  EXPECT_STREQ(FindReaderType(6)->lockStem, "__TOLVANE_HMX05_SYNC_OBJ__");
  EXPECT_STREQ(FindReaderType(3)->pathName, "OMREL");
}
