// Saving the current image (BMP, raw) and the reader's log. Each command sets
// up the one save dialog anew, writes the whole file or nothing, and reports
// the outcome in the status bar.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "app/program_bitmap.h"
#include "device/sensor.h"
#include "imaging/whole_file.h"

namespace {

// File names reach the file system in the system's narrow character set, in a
// buffer of this size including the terminating zero.
constexpr size_t kPathBufferSize = 256;

// A reader's log is kilobytes; a size beyond this is a broken answer, not a
// request to set aside gigabytes.
constexpr uint32_t kMaxLogBytes = 64u << 20;

const char* const kWriteError = "File Write Error! ";
const char* const kSaved = "Successfully saved to ";

// Shows the save dialog with these settings; the chosen name in the narrow
// character set, or nullopt when the user cancelled. A name too long for the
// path buffer is handed back as is, for the write to refuse.
std::optional<std::string> AskSavePath(TFileDialog& dialog, const std::string& fileName,
                                       const char* defaultExt, const char* filter,
                                       const char* title) {
  dialog.FileName = fileName;
  dialog.DefaultExt = defaultExt;
  dialog.Filter = filter;
  dialog.Title = title;
  if (!dialog.Execute()) return std::nullopt;
  return dialog.FileName;
}

// A path that does not fit the buffer would name another file once cut, so it
// is not written at all.
bool Fits(const std::string& path) { return path.size() < kPathBufferSize; }

// The current image as it stands now: a capture that goes on while the file is
// written replaces the window's image, not the copy being saved.
std::vector<uint8_t> CurrentImage(TForm1& form) {
  std::lock_guard guard(form.ImageLock);
  const size_t size = static_cast<size_t>(std::max(form.ImageWidth, 0)) *
                      static_cast<size_t>(std::max(form.ImageHeight, 0));
  return std::vector<uint8_t>(form.ImageBuffer.get(), form.ImageBuffer.get() + size);
}

}  // namespace

// The image commands need an image that a capture filled since the last Init
// or Refresh; before the first Init there is no image at all and they are silent.
void TForm1::SaveToBMPFile1Click() {
  if (!ImageBuffer) return;
  if (ImageAvailable == 0) {
    SetStatusText("Error! No fingerprint image to save");
    return;
  }
  const std::optional<std::string> path =
      AskSavePath(SaveDialog1, std::string(), "bmp", "Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*",
                  "Save fingerprint image to BMP format");
  if (!path) return;
  const std::vector<uint8_t> image = CurrentImage(*this);
  const bool saved =
      Fits(*path) && ProgramBitmap.WriteBmp(ImageWidth, ImageHeight, image.data(), path->c_str());
  SetStatusText(saved ? kSaved + *path : kWriteError);
}

void TForm1::SaveToRawFile1Click() {
  if (!ImageBuffer) return;
  if (ImageAvailable == 0) {
    SetStatusText("Error! No fingerprint image to save");
    return;
  }
  const std::optional<std::string> path =
      AskSavePath(SaveDialog1, std::string(), "raw", "Raw format (*.raw)|*.raw|All files (*.*)|*.*",
                  "Save fingerprint image to RAW format");
  if (!path) return;
  const std::vector<uint8_t> image = CurrentImage(*this);
  const bool saved = Fits(*path) && imaging::WriteWholeFile(path->c_str(), image.data(), image.size());
  SetStatusText(saved ? kSaved + *path : kWriteError);
}

// The log is fetched before the dialog opens, so the file holds it as it stood
// when the command was chosen.
void TForm1::MenuitemSaveLogsClick() {
  if (!Sensor) {
    SetStatusText("Error! Device is not initialized.");
    return;
  }
  uint32_t size = 0;
  uint32_t status = Sensor->Control(kControlLogSize, &size);
  std::vector<uint8_t> log;
  if (status == kStatusOk) {
    if (size > kMaxLogBytes) {
      SetStatusText("Error! Not enough memory for the device log.");
      return;
    }
    try {
      // One byte at least, so that the driver is always handed a real buffer.
      log.resize(std::max<size_t>(size, 1));
    } catch (const std::bad_alloc&) {
      SetStatusText("Error! Not enough memory for the device log.");
      return;
    }
    status = Sensor->Control(kControlLog, log.data());
  }
  if (status != kStatusOk) {
    ShowStatus(status);
    return;
  }

  std::string serial;
  if (Devices && DeviceIndex >= 0) {
    const DeviceEntry& entry = Devices[DeviceIndex];
    serial.assign(entry.serial, strnlen(entry.serial, sizeof entry.serial));
  }
  const std::optional<std::string> path =
      AskSavePath(SaveDialog1, serial, "log", "Log format (*.log)|*.log|All files (*.*)|*.*",
                  "Save Logs");
  if (!path) return;
  const bool saved = Fits(*path) && imaging::WriteWholeFile(path->c_str(), log.data(), size);
  SetStatusText(saved ? kSaved + *path : kWriteError);
}
