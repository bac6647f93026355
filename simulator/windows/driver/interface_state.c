/* Enabling and disabling a device interface that has a reference string.
 * Wine 8 fails both in two places where Windows does not; each failure is
 * answered by making what Wine looks for, then the call is repeated, so the
 * state changes and the arrival or removal goes out. On Windows the first
 * call succeeds and nothing else happens. */
#include "simulator/windows/driver/driver.h"

enum { kPathCapacity = 320 };

/* The directory object that holds the interfaces' links under Wine. */
static HANDLE linkDirectory;

static void Append(WCHAR* path, USHORT* at, const WCHAR* from, USHORT count) {
  for (USHORT i = 0; i < count && *at < kPathCapacity; ++i) path[(*at)++] = from[i];
}

static UNICODE_STRING Counted(WCHAR* text, USHORT characters) {
  UNICODE_STRING string = {characters * sizeof(WCHAR), characters * sizeof(WCHAR), text};
  return string;
}

/* A name "\??\<device>#{class}\<reference>": where its reference starts, and its class. */
typedef struct InterfaceName {
  WCHAR* text;
  USHORT length, reference, classStart;
} InterfaceName;

static BOOLEAN Parse(PUNICODE_STRING name, InterfaceName* parsed) {
  parsed->text = name->Buffer;
  parsed->length = name->Length / sizeof(WCHAR);
  parsed->classStart = 0;
  for (parsed->reference = 4; parsed->reference < parsed->length; ++parsed->reference) {
    const WCHAR c = parsed->text[parsed->reference];
    if (c == L'\\') break;
    if (c == L'#') parsed->classStart = parsed->reference + 1;
  }
  return parsed->length > 4 && parsed->reference < parsed->length && parsed->classStart != 0;
}

static NTSTATUS CreateKey(WCHAR* path, USHORT characters) {
  UNICODE_STRING name = Counted(path, characters);
  OBJECT_ATTRIBUTES attributes;
  HANDLE key;
  InitializeObjectAttributes(&attributes, &name, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE, NULL, NULL);
  const NTSTATUS status = ZwCreateKey(&key, KEY_ALL_ACCESS, &attributes, 0, NULL, REG_OPTION_NON_VOLATILE, NULL);
  if (NT_SUCCESS(status)) ZwClose(key);
  return status;
}

/* Wine keeps the state of the interface under "<interface key>\#<reference>"
 * and looks for it under "<interface key>\#\<reference>". */
static NTSTATUS CreateStateKey(const InterfaceName* name) {
  static const WCHAR kClasses[] = L"\\Registry\\Machine\\System\\CurrentControlSet\\Control\\DeviceClasses\\";
  WCHAR path[kPathCapacity];
  USHORT at = 0;
  Append(path, &at, kClasses, ARRAYSIZE(kClasses) - 1);
  Append(path, &at, name->text + name->classStart, name->reference - name->classStart);
  Append(path, &at, L"\\##?#", 5);
  Append(path, &at, name->text + 4, name->reference - 4);
  Append(path, &at, L"\\#", 2);
  const NTSTATUS status = CreateKey(path, at);
  if (!NT_SUCCESS(status)) return status;
  Append(path, &at, name->text + name->reference, name->length - name->reference);
  return at < kPathCapacity ? CreateKey(path, at) : STATUS_NAME_TOO_LONG;
}

/* Wine makes the link "\??\<device>#{class}\<reference>" as a name inside a
 * directory "\??\<device>#{class}" that nothing creates. */
static NTSTATUS CreateLinkDirectory(const InterfaceName* name) {
  if (linkDirectory) return STATUS_OBJECT_NAME_COLLISION;
  UNICODE_STRING path = Counted(name->text, name->reference);
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &path, OBJ_KERNEL_HANDLE | OBJ_CASE_INSENSITIVE, NULL, NULL);
  return ZwCreateDirectoryObject(&linkDirectory, DIRECTORY_ALL_ACCESS, &attributes);
}

NTSTATUS SetDeviceInterfaceState(PUNICODE_STRING name, BOOLEAN enable) {
  InterfaceName parsed;
  NTSTATUS status = IoSetDeviceInterfaceState(name, enable);
  if (status == STATUS_OBJECT_NAME_NOT_FOUND && Parse(name, &parsed) && NT_SUCCESS(CreateStateKey(&parsed))) {
    status = IoSetDeviceInterfaceState(name, enable);
  }
  if (status == STATUS_OBJECT_PATH_NOT_FOUND && Parse(name, &parsed) && NT_SUCCESS(CreateLinkDirectory(&parsed))) {
    status = IoSetDeviceInterfaceState(name, enable);
  }
  return status;
}

void InterfaceLinksRemoved(void) {
  if (linkDirectory) ZwClose(linkDirectory);
  linkDirectory = NULL;
}
