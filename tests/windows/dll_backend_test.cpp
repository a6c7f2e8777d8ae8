#include "platform/d2xx/win/dll_backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/link.h"

namespace {

constexpr const char* kAdapter = "TALVEK Update Adapter";

class DllBackendTest : public ::testing::Test {
 protected:
  void TearDown() override { d2xx::UseBackend(nullptr); }
};

TEST_F(DllBackendTest, WithoutAWholeLibraryNoAdapterIsFound) {
  for (const char* library : {"no-such-library.dll", TALVEK_PARTIAL_DLL}) {
    SCOPED_TRACE(library);
    d2xx::DllBackend backend(library);
    d2xx::UseBackend(&backend);
    EXPECT_FALSE(backend.Loaded());
    FtHandle handle = nullptr;
    EXPECT_EQ(FT_OpenEx(kAdapter, kFtOpenByDescription, &handle), kFtDeviceNotFound);
    EXPECT_EQ(handle, nullptr);
    EXPECT_FALSE(ConnectAdapter());
    EXPECT_EQ(AdapterHandle, nullptr);
  }
}

// The stand-in library holds a simulated adapter, so every call goes through the
// library's entry points and back.
TEST_F(DllBackendTest, EveryOperationReachesTheLibrary) {
  d2xx::DllBackend backend(TALVEK_STAND_IN_DLL);
  d2xx::UseBackend(&backend);
  ASSERT_TRUE(backend.Loaded());

  FtHandle other = nullptr;
  EXPECT_NE(FT_OpenEx("Another Adapter", kFtOpenByDescription, &other), kFtOk);
  EXPECT_EQ(other, nullptr);

  FtHandle handle = nullptr;
  ASSERT_EQ(FT_OpenEx(kAdapter, kFtOpenByDescription, &handle), kFtOk);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(FT_SetBaudRate(handle, 19200), kFtOk);
  EXPECT_EQ(FT_SetDataCharacteristics(handle, kFtBits8, kFtStopBits2, kFtParityNone), kFtOk);
  EXPECT_EQ(FT_SetFlowControl(handle, kFtFlowNone, 0, 0), kFtOk);
  EXPECT_EQ(FT_SetTimeouts(handle, 0, 5000), kFtOk);
  const std::vector<std::uint8_t> sync = {0x00, 0x55, 0x66, 0x77, 0x88};
  std::uint32_t written = 0;
  EXPECT_EQ(FT_Write(handle, sync.data(), 5, &written), kFtOk);
  EXPECT_EQ(written, 5u);
  EXPECT_EQ(FT_Purge(handle, kFtPurgeRx), kFtOk);
  // The device is still switched off: nothing comes back.
  std::uint32_t waiting = 99;
  EXPECT_EQ(FT_GetQueueStatus(handle, &waiting), kFtOk);
  EXPECT_EQ(waiting, 0u);
  std::uint8_t byte = 0;
  std::uint32_t read = 99;
  EXPECT_EQ(FT_Read(handle, &byte, 0, &read), kFtOk);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(FT_Close(handle), kFtOk);

  // Released: the link connects through it again.
  EXPECT_TRUE(ConnectAdapter());
  EXPECT_NE(AdapterHandle, nullptr);
  CloseAdapter();
}

}  // namespace
