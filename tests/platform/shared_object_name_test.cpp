#include <gtest/gtest.h>

#include <climits>

#include "platform/shared_object_name.h"

namespace {

using platform::SharedObjectName;

TEST(SharedObjectName, KeepsNamesApartAndInsideOneShmName) {
  const std::string root = "/tmp/machine";
  const std::string plain = SharedObjectName(root, "qvdx_exeUNITLOCKER0");
  EXPECT_EQ(plain.rfind("/tolvane-", 0), 0u);
  EXPECT_EQ(plain.substr(plain.size() - 19), "qvdx_exeUNITLOCKER0");
  EXPECT_NE(plain, SharedObjectName(root, "QVDX_EXEUNITLOCKER0"));
  EXPECT_NE(plain, SharedObjectName("/tmp/other", "qvdx_exeUNITLOCKER0"));

  // Separators never reach the shm name, and escaping cannot make two names equal.
  const std::string separated = SharedObjectName(root, "Global\\a/b");
  EXPECT_EQ(separated.find('/', 1), std::string::npos);
  EXPECT_EQ(separated.find('\\'), std::string::npos);
  EXPECT_NE(SharedObjectName(root, "a/b"), SharedObjectName(root, "a%2Fb"));

  const std::string longA(300, 'a');
  const std::string longB = std::string(299, 'a') + "b";
  EXPECT_LE(SharedObjectName(root, longA).size(), size_t{NAME_MAX} + 1);
  EXPECT_LE(SharedObjectName(root, std::string(255, '/')).size(), size_t{NAME_MAX} + 1);
  EXPECT_NE(SharedObjectName(root, longA), SharedObjectName(root, longB));
}

}  // namespace
