#include "simulator/tool/tool.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string_view>

#include <CLI/CLI.hpp>

#include "simulator/machine/machine.h"
#include "simulator/tool/power.h"
#include "simulator/tool/system.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

// Everything the command line can carry; each command reads its own part.
struct Arguments {
  std::string root;
  bool empty = false;
  std::string target;  // NAME-INDEX, parallel, or VID:PID
  std::string product, release, serial, finger, port, file, state, version;
  bool serialGiven = false;  // an empty --serial is a serial too
  bool framework = false;
  std::optional<uint32_t> latency, mode, platformId, status;
  std::optional<int32_t> brightness, configureMode;
  std::string is64Bit, remote, frameworkSwitch, smart;
  std::string openDelay, wParam, faultCall, faultStatus, every;
  bool once = false, always = false, clear = false;
};

// A command that cannot be carried out, reported as one line.
struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A command line whose arguments cannot be used, reported as one line naming
// the argument; exit code 2 like a malformed command line.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A number up to `high` in `base`, decimal by default; a 0x prefix makes it
// hexadecimal. nullopt when it is not such a number.
std::optional<uint64_t> ParseNumber(const std::string& text, uint64_t high, int base = 10) {
  std::string_view digits = text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
    base = 16;
  }
  uint64_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value > high) {
    return std::nullopt;
  }
  return value;
}

uint16_t ParseHexArgument(const std::string& text, const char* what) {
  const std::optional<uint64_t> value = ParseNumber(text, 0xFFFF, 16);
  if (!value) throw UsageError(std::string(what) + " must be a hexadecimal number up to FFFF: " + text);
  return static_cast<uint16_t>(*value);
}

ReaderId RequireReaderId(const std::string& text) {
  std::optional<ReaderId> id = ParseReaderId(text);
  if (!id) throw UsageError("not a reader: " + text + " (expected NAME-INDEX with NAME one of OMREL, QVUSB, HMX04, HMX05, HMX06 and INDEX 0..9, or parallel)");
  return *id;
}

std::string IdText(const ReaderId& id) { return ReaderFileStem(id.name, id.index); }

void Plug(const Arguments& args) {
  const ReaderId id = RequireReaderId(args.target);
  Reader reader = DefaultReader(*FindReaderModel(id.name), id.index);
  if (!args.openDelay.empty()) {
    const std::optional<uint64_t> delay = ParseNumber(args.openDelay, kMaxReaderDelayMs);
    if (!delay) {
      throw UsageError("--open-delay must be 0 to " + std::to_string(kMaxReaderDelayMs) +
                       " milliseconds: " + args.openDelay);
    }
    reader.openDelayMs = static_cast<uint32_t>(*delay);
  }
  const bool usbOption = !args.product.empty() || !args.release.empty() || args.framework;
  const bool parallelOption = !args.port.empty() || args.mode;
  if (reader.IsParallel() && usbOption) throw UsageError("--product, --release and --framework are for USB readers");
  if (!reader.IsParallel() && parallelOption) throw UsageError("--port and --mode are for the parallel reader");
  if (!args.product.empty()) reader.productId = ParseHexArgument(args.product, "--product");
  if (!args.release.empty()) reader.release = ParseHexArgument(args.release, "--release");
  if (!args.port.empty()) reader.portAddress = ParseHexArgument(args.port, "--port");
  if (FindReader(id.name, id.index)) throw CommandError(reader.Id() + " is already attached");
  if (args.mode) reader.portMode = *args.mode;
  if (args.serialGiven) reader.serial = args.serial;
  if (!args.finger.empty()) reader.finger = *ParseFingerState(args.finger);
  if (args.latency) reader.latencyMs = *args.latency;
  reader.framework = args.framework;
  PlugReader(reader);
  TellDriverPlugged(reader);
}

void Unplug(const Arguments& args) {
  if (std::optional<ForeignDevice> device = ParseForeignId(args.target)) {
    if (!UnplugForeignDevice(*device)) throw CommandError(args.target + " is not attached");
    TellDriverUnpluggedForeign(*device);
    return;
  }
  const ReaderId id = RequireReaderId(args.target);
  if (!UnplugReader(id.name, id.index)) throw CommandError(IdText(id) + " is not attached");
  TellDriverUnplugged(id.name, id.index);
}

void PlugForeign(const Arguments& args) {
  std::optional<ForeignDevice> device = ParseForeignId(args.target);
  if (!device) throw UsageError("not a USB id: " + args.target + " (expected VID:PID in hexadecimal)");
  PlugForeignDevice(*device);
  TellDriverPluggedForeign(*device);
}

void Change(const std::string& target, const std::function<void(Reader&)>& change) {
  const ReaderId id = RequireReaderId(target);
  if (!UpdateReader(id.name, id.index, change)) throw CommandError(IdText(id) + " is not attached");
}

void Touch(const Arguments& args) {
  const ReaderId id = RequireReaderId(args.target);
  uint32_t wParam = kFingerTouchWParam;
  if (!args.wParam.empty()) {
    const std::optional<uint64_t> value = ParseNumber(args.wParam, UINT32_MAX);
    if (!value) throw UsageError("--wparam must be a number 0 to 0xFFFFFFFF: " + args.wParam);
    wParam = static_cast<uint32_t>(*value);
  }
  if (!TouchReader(id.name, id.index, wParam)) throw CommandError(IdText(id) + " is not attached");
}

// The fault the command line describes; the reader is checked by the caller.
Fault ParseFault(const Arguments& args) {
  if (args.faultCall.empty() || args.faultStatus.empty()) {
    throw UsageError("fault needs --call and --status, or --clear");
  }
  Fault fault;
  const std::optional<FaultCall> call = ParseFaultCall(args.faultCall);
  if (!call) {
    throw UsageError("--call must be open, info, image, image-ex, control or configure: " + args.faultCall);
  }
  fault.call = *call;
  // 0 is success: a call answering it without doing its work would not be a fault.
  const std::optional<uint64_t> status = ParseNumber(args.faultStatus, UINT32_MAX);
  if (!status || *status == 0) {
    throw UsageError("--status must be a status code 1 to 4294967295: " + args.faultStatus);
  }
  fault.status = static_cast<uint32_t>(*status);
  if (!args.every.empty()) {
    const std::optional<uint64_t> every = ParseNumber(args.every, UINT32_MAX);
    if (!every || *every < 1) throw UsageError("--every must be 1 or more: " + args.every);
    fault.once = false;
    fault.every = static_cast<uint32_t>(*every);
  } else if (args.always) {
    fault.once = false;
  }
  return fault;
}

void SetOrClearFault(const Arguments& args) {
  const ReaderId id = RequireReaderId(args.target);
  if (args.clear) {
    if (!args.faultCall.empty() || !args.faultStatus.empty() || !args.every.empty() || args.once || args.always) {
      throw UsageError("--clear takes no other option");
    }
    if (!FindReader(id.name, id.index)) throw CommandError(IdText(id) + " is not attached");
    ClearFaults(id.name, id.index);
    return;
  }
  if (!SetFault(id.name, id.index, ParseFault(args))) throw CommandError(IdText(id) + " is not attached");
}

void Configure(const Arguments& args) {
  Change(args.target, [&](Reader& reader) {
    if (args.configureMode) reader.configure.mode = args.configureMode;
    if (args.brightness) reader.configure.brightness = args.brightness;
    if (!args.smart.empty()) reader.configure.smart = args.smart == "on";
    if (args.status) reader.configure.status = *args.status;
  });
}

void Os(const Arguments& args, std::ostream& out) {
  if (!ProfileDecidesSystemFacts() && (args.platformId || !args.is64Bit.empty() || !args.remote.empty())) {
    throw UsageError("--platform-id, --64bit and --remote: this system reports them itself");
  }
  Profile profile = LoadProfile();
  if (!args.version.empty()) {
    unsigned major = 0, minor = 0;
    char end = 0;
    if (std::sscanf(args.version.c_str(), "%u.%u%c", &major, &minor, &end) != 2) {
      throw UsageError("--version must be MAJOR.MINOR: " + args.version);
    }
    ApplyWindowsVersion(major, minor);
    profile.major = major;
    profile.minor = minor;
  }
  if (args.platformId) profile.platformId = *args.platformId;
  if (!args.is64Bit.empty()) profile.is64Bit = args.is64Bit == "on";
  if (!args.remote.empty()) profile.remoteSession = args.remote == "on";
  if (!args.frameworkSwitch.empty()) profile.frameworkPresent = args.frameworkSwitch == "on";
  SaveProfile(profile);
  out << "Windows " << profile.major << "." << profile.minor << ", platform id " << profile.platformId
      << ", 64bit " << (profile.is64Bit ? "on" : "off") << ", remote "
      << (profile.remoteSession ? "on" : "off") << ", framework "
      << (profile.frameworkPresent ? "on" : "off") << "\n";
}

void InstallDriver(const Arguments& args) {
  std::optional<FileVersionNumber> version;
  if (!args.version.empty()) {
    version = FileVersionNumber::Parse(args.version);
    if (!version) throw UsageError("--version must be A.B.C.D with parts up to 65535: " + args.version);
  }
  InstallDriverFile(args.file, version);
}

void WriteCaptureDetail(const Arguments& args) {
  const ReaderId id = RequireReaderId(args.target);
  const fs::path record = CaptureDetailPath(DefaultReader(*FindReaderModel(id.name), id.index));
  std::optional<std::string> bytes = ReadWholeFile(record);
  if (!bytes) throw CommandError("no capture-detail record for " + IdText(id) + " yet");
  std::error_code error;
  fs::copy_file(record, args.file, fs::copy_options::overwrite_existing, error);
  if (error) throw CommandError("cannot write " + args.file + ": " + error.message());
}

}  // namespace

int RunTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  Arguments args;
  CLI::App app("Creates, shows and changes the simulated Tolvane workstation.", "tolvane-sim");
  app.set_version_flag("--version", std::string("tolvane-sim ") + PROJECT_VERSION);
  app.add_option("--root", args.root, "machine folder (default: $TOLVANE_SIM_ROOT, else " + DefaultMachineRoot().string() + ")");
  app.require_subcommand(1);
  app.fallthrough();
  const auto onOff = CLI::IsMember({"on", "off"});
  const auto reader = [&](CLI::App* command) {
    command->add_option("reader", args.target, "NAME-INDEX (OMREL, QVUSB, HMX04, HMX05, HMX06; 0..9) or parallel")->required();
  };

  CLI::App* init = app.add_subcommand("init", "create or reset the machine");
  init->add_flag("--empty", args.empty, "attach no readers");
  CLI::App* status = app.add_subcommand("status", "show the profile, installed files and attached readers");

  CLI::App* plug = app.add_subcommand("plug", "attach a reader");
  reader(plug);
  plug->add_option("--product", args.product, "USB product id (hexadecimal)");
  plug->add_option("--release", args.release, "USB device release (hexadecimal)");
  CLI::Option* serial = plug->add_option("--serial", args.serial, "serial number (\"\" for none)");
  plug->add_flag("--framework", args.framework, "served by the biometric framework");
  plug->add_option("--finger", args.finger, "finger state")->check(CLI::IsMember({"present", "absent", "auto"}));
  plug->add_option("--latency", args.latency, "extra milliseconds per capture")->check(CLI::Range(0u, kMaxReaderDelayMs));
  plug->add_option("--open-delay", args.openDelay, "extra milliseconds OpenDevice takes")->type_name("MS");
  plug->add_option("--port", args.port, "parallel port address (hexadecimal)");
  plug->add_option("--mode", args.mode, "parallel port mode")->check(CLI::Range(0, 0xFFFF));

  CLI::App* plugForeign = app.add_subcommand("plug-foreign", "attach another maker's USB device");
  plugForeign->add_option("id", args.target, "VID:PID (hexadecimal)")->required();
  CLI::App* unplug = app.add_subcommand("unplug", "detach a reader or a USB device");
  unplug->add_option("device", args.target, "NAME-INDEX, parallel or VID:PID")->required();
  CLI::App* touch = app.add_subcommand("touch", "a finger touches the reader");
  reader(touch);
  touch->add_option("--wparam", args.wParam, "first parameter of the finger-detected message (default 1)")
      ->type_name("N");
  CLI::App* finger = app.add_subcommand("finger", "set whether a finger rests on the reader");
  reader(finger);
  finger->add_option("state", args.state, "present, absent or auto")->required()->check(CLI::IsMember({"present", "absent", "auto"}));

  CLI::App* driver = app.add_subcommand("driver", "install or remove driver files");
  driver->require_subcommand(1);
  CLI::App* install = driver->add_subcommand("install", "install a driver module or kernel driver file");
  install->add_option("file", args.file, "file name, e.g. Qvhmx05m.dll or qvhmx05x64.sys")->required();
  install->add_option("--version", args.version, "version A.B.C.D");
  CLI::App* remove = driver->add_subcommand("remove", "remove a driver module or kernel driver file");
  remove->add_option("file", args.file, "file name")->required();
  CLI::App* start = driver->add_subcommand("start", "Windows: install and start the kernel driver, plug the attached devices into it");
  CLI::App* stop = driver->add_subcommand("stop", "Windows: stop and remove the kernel driver");

  CLI::App* os = app.add_subcommand("os", "change the Windows the machine runs");
  os->add_option("--version", args.version, "MAJOR.MINOR");
  os->add_option("--platform-id", args.platformId, "platform id (2 for NT)");
  os->add_option("--64bit", args.is64Bit, "64-bit Windows")->check(onOff);
  os->add_option("--remote", args.remote, "remote desktop session")->check(onOff);
  os->add_option("--framework", args.frameworkSwitch, "biometric framework present")->check(onOff);

  CLI::App* configure = app.add_subcommand("configure", "what the reader's configuration dialog applies next");
  reader(configure);
  configure->add_option("--mode", args.configureMode, "capture mode");
  configure->add_option("--brightness", args.brightness, "brightness");
  configure->add_option("--smart", args.smart, "smart capture")->check(onOff);
  configure->add_option("--status", args.status, "status code the dialog returns");

  CLI::App* fault = app.add_subcommand("fault", "make the reader's driver module answer a call with a status");
  reader(fault);
  fault->add_option("--call", args.faultCall, "open, info, image, image-ex, control or configure")->type_name("CALL");
  fault->add_option("--status", args.faultStatus, "status code the call answers")->type_name("CODE");
  CLI::Option* once = fault->add_flag("--once", args.once, "fail the next call only (default)");
  CLI::Option* every = fault->add_option("--every", args.every, "fail every Nth call")->type_name("N");
  CLI::Option* always = fault->add_flag("--always", args.always, "fail every call");
  once->excludes(every)->excludes(always);
  every->excludes(always);
  fault->add_flag("--clear", args.clear, "remove every fault of the reader");
  CLI::App* suspend = app.add_subcommand("suspend", "the system suspends: tell every program on the machine");
  CLI::App* resume = app.add_subcommand("resume", "the system resumed: tell every program on the machine");

  CLI::App* scd = app.add_subcommand("scd", "write the reader's last capture-detail record as a .scd file");
  reader(scd);
  scd->add_option("file", args.file, "output file")->required();

  // CLI11 would only say that a command is missing; name the word it did not know.
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--root") ++i;
    if (argument.starts_with("-")) continue;
    if (app.get_subcommands([&](CLI::App* command) { return command->get_name() == argument; }).empty()) {
      err << "tolvane-sim: unknown command: " << argument << " (see tolvane-sim --help)\n";
      return 2;
    }
    break;
  }
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::Success& done) {  // --help, --version
    return app.exit(done, out, err);
  } catch (const CLI::ParseError& error) {
    err << "tolvane-sim: " << error.what() << " (see tolvane-sim --help)\n";
    return 2;
  }
  args.serialGiven = serial->count() > 0;

  try {
    if (!args.root.empty()) SetMachineRoot(args.root);
    if (*init) {
      InitMachine(args.empty);
    } else if (*status) {
      PrintStatus(out);
    } else if (*plug) {
      Plug(args);
    } else if (*plugForeign) {
      PlugForeign(args);
    } else if (*unplug) {
      Unplug(args);
    } else if (*touch) {
      Touch(args);
    } else if (*finger) {
      Change(args.target, [&](Reader& r) { r.finger = *ParseFingerState(args.state); });
    } else if (*install) {
      InstallDriver(args);
    } else if (*remove) {
      RemoveDriverFile(args.file);
    } else if (*start) {
      StartKernelDriver();
    } else if (*stop) {
      StopKernelDriver();
    } else if (*os) {
      Os(args, out);
    } else if (*configure) {
      Configure(args);
    } else if (*scd) {
      WriteCaptureDetail(args);
    } else if (*fault) {
      SetOrClearFault(args);
    } else if (*suspend) {
      AnnouncePower(PowerNotice::Suspend, out);
    } else if (*resume) {
      AnnouncePower(PowerNotice::Resume, out);
    }
  } catch (const UsageError& error) {
    err << "tolvane-sim: " << error.what() << "\n";
    return 2;
  } catch (const std::exception& error) {  // CommandError, MachineError, filesystem errors
    err << "tolvane-sim: " << error.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace sim
