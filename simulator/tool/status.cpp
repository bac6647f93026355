#include <cstdio>
#include <string>

#include "simulator/machine/machine.h"
#include "simulator/tool/tool.h"

namespace sim {

namespace {

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string OnOff(bool value) { return value ? "on" : "off"; }

void PrintProfile(std::ostream& out, const Profile& profile) {
  out << "Windows " << profile.major << "." << profile.minor << " build " << profile.build
      << ", platform id " << profile.platformId << ", 64bit " << OnOff(profile.is64Bit) << ", remote "
      << OnOff(profile.remoteSession) << ", framework " << OnOff(profile.frameworkPresent) << "\n";
}

// Where a file really comes from; a link that gives programs of this build
// something other than what it names is flagged.
std::string Origin(const InstalledFile& file) {
  const std::string target = file.linkTarget.string();
  switch (file.origin) {
    case FileOrigin::Written: return "";
    case FileOrigin::ThisBuild: return "  -> " + target;
    case FileOrigin::Elsewhere: return "  -> " + target + "  (not a module of any build)";
    case FileOrigin::OtherBuild: return "  -> " + target + "  (another build's module: this build loads its own)";
    case FileOrigin::Nothing: return "  -> " + target + "  (link to nothing" +
                                     (file.version ? std::string(": this build loads its own)") : std::string(")"));
  }
  return "";
}

void PrintFiles(std::ostream& out) {
  out << "Installed files:\n";
  bool any = false;
  for (const InstalledFile& file : ListDriverFiles()) {
    if (!file.present) continue;
    any = true;
    std::string place = std::string(file.driverFile->directory) + (*file.driverFile->directory ? "/" : "");
    out << "  " << place << file.driverFile->name << "  "
        << (file.version ? file.version->ToString() : std::string("(no version)")) << Origin(file) << "\n";
  }
  if (!any) out << "  (none)\n";
}

void PrintConfigure(std::ostream& out, const ConfigureSettings& settings) {
  out << "      configure:";
  if (settings.mode) out << " mode " << *settings.mode;
  if (settings.brightness) out << " brightness " << *settings.brightness;
  if (settings.smart) out << " smart " << OnOff(*settings.smart);
  out << " status " << settings.status << "\n";
}

void PrintFaults(std::ostream& out, const Reader& reader) {
  const ReaderFaults faults = ListFaults(reader.name, reader.index);
  if (faults.problem) {
    out << "      faults: ignored, the file is malformed (" << *faults.problem << ")\n";
  }
  for (const Fault& fault : faults.faults) {
    out << "      fault: " << FaultCallName(fault.call) << " answers " << fault.status << ", "
        << DescribeFault(fault) << "\n";
  }
}

void PrintReader(std::ostream& out, const Reader& reader) {
  const ReaderModel* model = FindReaderModelByType(reader.type);
  out << "  " << reader.Id() << "  " << (model ? model->model : "?") << " type " << reader.type;
  if (reader.IsParallel()) {
    out << " port 0x" << Hex(reader.portAddress, 3) << " mode " << reader.portMode;
  } else {
    out << " " << Hex(reader.vendorId, 4) << ":" << Hex(reader.productId, 4) << " release "
        << Hex(reader.release, 4) << (reader.framework ? " via framework" : " direct");
  }
  out << " serial " << (reader.serial.empty() ? "(none)" : reader.serial) << "\n";
  out << "      finger " << FingerStateName(reader.finger) << ", touches " << reader.touches
      << ", latency " << reader.latencyMs << " ms, open delay " << reader.openDelayMs
      << " ms, config file " << (reader.configFilePresent ? "present" : "absent") << "\n";
  PrintConfigure(out, reader.configure);
  PrintFaults(out, reader);
}

}  // namespace

void PrintStatus(std::ostream& out) {
  const std::filesystem::path root = EnsureMachine();
  out << "Machine: " << root.string() << "\n";
  PrintProfile(out, LoadProfile());
  PrintFiles(out);
  out << "Attached readers:\n";
  const std::vector<Reader> readers = ListReaders();
  for (const Reader& reader : readers) PrintReader(out, reader);
  if (readers.empty()) out << "  (none)\n";
  const std::vector<ForeignDevice> foreign = ListForeignDevices();
  if (!foreign.empty()) {
    out << "Other USB devices:\n";
    for (ForeignDevice device : foreign) {
      out << "  " << Hex(device.vendorId, 4) << ":" << Hex(device.productId, 4) << "\n";
    }
  }
}

}  // namespace sim
