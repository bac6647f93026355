// The one header through which the system calls the operating system.
//
// On Windows this is <windows.h>. Elsewhere it declares the same names with the
// same types, constants and record layouts, and libtolvane-platform implements
// them. Only what the system calls is declared; nothing else is emulated.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <dbt.h>
#include <io.h>  // _get_osfhandle
#include <usbiodef.h>  // GUID_DEVINTERFACE_USB_DEVICE, defined in the system's uuid library
#include <winioctl.h>
#else

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define CONST const

#define FALSE 0
#define TRUE 1

typedef int32_t BOOL;
typedef BOOL* PBOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef DWORD* LPDWORD;
typedef uint32_t UINT;
typedef UINT* PUINT;
typedef int32_t INT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef char CHAR;
typedef char16_t WCHAR;  // UTF-16 code unit, as on Windows; never wchar_t
typedef const CHAR* LPCSTR;
typedef CHAR* LPSTR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;

typedef void* HANDLE;
typedef HANDLE* PHANDLE;
struct HWND__;
typedef HWND__* HWND;
struct HDC__;
typedef HDC__* HDC;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HPALETTE__;
typedef HPALETTE__* HPALETTE;
typedef void* HGDIOBJ;
typedef void* HDEVNOTIFY;
typedef intptr_t(WINAPI* FARPROC)();

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define INFINITE 0xFFFFFFFFu
#define MAX_PATH 260

// ---- errors --------------------------------------------------------------
#define ERROR_SUCCESS 0u
#define ERROR_INVALID_FUNCTION 1u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_NOT_SAME_DEVICE 17u
#define ERROR_WRITE_FAULT 29u
#define ERROR_DISK_FULL 112u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_MOD_NOT_FOUND 126u
#define ERROR_PROC_NOT_FOUND 127u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_BAD_EXE_FORMAT 193u
#define ERROR_NOT_OWNER 288u
#define ERROR_DEVICE_NOT_CONNECTED 1167u
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813u

// ---- records ---------------------------------------------------------------
typedef struct _GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
static_assert(sizeof(GUID) == 16);

typedef struct tagRECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT, *LPRECT;
typedef const RECT* LPCRECT;
static_assert(sizeof(RECT) == 16);

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;  // never used: calls are synchronous

typedef struct _OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
} OSVERSIONINFOA, *LPOSVERSIONINFOA;
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(offsetof(OSVERSIONINFOA, dwMajorVersion) == 4);
static_assert(offsetof(OSVERSIONINFOA, dwMinorVersion) == 8);
static_assert(offsetof(OSVERSIONINFOA, dwPlatformId) == 16);

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct tagVS_FIXEDFILEINFO {
  DWORD dwSignature;  // 0xFEEF04BD
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileVersionMS) == 8);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileVersionLS) == 12);
#define VS_FFI_SIGNATURE 0xFEEF04BDu
#define VS_FFI_STRUCVERSION 0x00010000u

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER;
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14);
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == 20);
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32);

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD;
static_assert(sizeof(RGBQUAD) == 4);

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO;

typedef struct tagPALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
} PALETTEENTRY;

typedef struct tagLOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
} LOGPALETTE;
static_assert(offsetof(LOGPALETTE, palPalEntry) == 4);

#define BI_RGB 0u
#define DIB_RGB_COLORS 0u
#define SRCCOPY 0x00CC0020u
#define HALFTONE 4
#define COLORONCOLOR 3
#define GDI_ERROR 0xFFFFFFFFu

// ---- device notifications ---------------------------------------------------
typedef struct _DEV_BROADCAST_HDR {
  DWORD dbch_size;
  DWORD dbch_devicetype;
  DWORD dbch_reserved;
} DEV_BROADCAST_HDR;
static_assert(sizeof(DEV_BROADCAST_HDR) == 12);

typedef struct _DEV_BROADCAST_DEVICEINTERFACE_W {
  DWORD dbcc_size;
  DWORD dbcc_devicetype;
  DWORD dbcc_reserved;
  GUID dbcc_classguid;
  WCHAR dbcc_name[1];
} DEV_BROADCAST_DEVICEINTERFACE_W;
typedef DEV_BROADCAST_DEVICEINTERFACE_W DEV_BROADCAST_DEVICEINTERFACE;
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_classguid) == 12);
static_assert(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) == 28);

#define DBT_DEVNODES_CHANGED 0x0007u
#define DBT_DEVICEARRIVAL 0x8000u
#define DBT_DEVICEREMOVECOMPLETE 0x8004u
#define DBT_DEVTYP_DEVICEINTERFACE 0x00000005u
#define DEVICE_NOTIFY_WINDOW_HANDLE 0x00000000u

// {A5DCBF10-6530-11D2-901F-00C04FB951ED}
inline constexpr GUID GUID_DEVINTERFACE_USB_DEVICE = {
    0xA5DCBF10u, 0x6530u, 0x11D2u, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// ---- window messages ---------------------------------------------------------
#define WM_CLOSE 0x0010u
#define WM_POWERBROADCAST 0x0218u
#define WM_DEVICECHANGE 0x0219u
#define WM_APP 0x8000u
#define PBT_APMSUSPEND 0x0004u
#define PBT_APMRESUMEAUTOMATIC 0x0012u

// ---- synchronization ------------------------------------------------------------
#define SYNCHRONIZE 0x00100000u
#define MUTEX_ALL_ACCESS 0x001F0001u
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259u

// ---- files and device I/O --------------------------------------------------------
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_READ_DATA 0x0001u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define OPEN_EXISTING 3u
#define FILE_ATTRIBUTE_NORMAL 0x80u
#define MOVEFILE_REPLACE_EXISTING 0x1u
#define MOVEFILE_WRITE_THROUGH 0x8u

#define FILE_DEVICE_UNKNOWN 0x00000022u
#define METHOD_BUFFERED 0u
#define METHOD_IN_DIRECT 1u
#define METHOD_OUT_DIRECT 2u
#define METHOD_NEITHER 3u
#define FILE_ANY_ACCESS 0u
#define CTL_CODE(DeviceType, Function, Method, Access) \
  (((DeviceType) << 16) | ((Access) << 14) | ((Function) << 2) | (Method))

// ---- system metrics --------------------------------------------------------------
#define SM_REMOTESESSION 0x1000

extern "C" {

// errors
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);

// handles
BOOL WINAPI CloseHandle(HANDLE object);

// named mutexes
HANDLE WINAPI OpenMutexA(DWORD desiredAccess, BOOL inheritHandle, LPCSTR name);
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL WINAPI ReleaseMutex(HANDLE mutex);

// time
DWORD WINAPI GetTickCount();

// files: a C runtime descriptor's handle stays the runtime's, never closed;
// INVALID_HANDLE_VALUE (as intptr_t) for a descriptor that is not open
intptr_t _get_osfhandle(int descriptor);
BOOL WINAPI FlushFileBuffers(HANDLE file);
BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);

// device I/O
HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES attributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WINAPI DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer,
                            DWORD inBufferSize, LPVOID outBuffer, DWORD outBufferSize,
                            LPDWORD bytesReturned, LPOVERLAPPED overlapped);

// modules
HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);

// version resources
DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
BOOL WINAPI GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD length, LPVOID data);
BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);

// system facts
UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size);
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);
HANDLE WINAPI GetCurrentProcess();
BOOL WINAPI IsWow64Process(HANDLE process, PBOOL wow64Process);
int WINAPI GetSystemMetrics(int index);

// messages and notifications
BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE recipient, LPVOID filter, DWORD flags);
BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY handle);

// drawing
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette);
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
UINT WINAPI RealizePalette(HDC dc);
BOOL WINAPI DeleteObject(HGDIOBJ object);
int WINAPI SetStretchBltMode(HDC dc, int mode);
int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits,
                         const BITMAPINFO* info, UINT usage, DWORD rop);

}  // extern "C"

#endif  // _WIN32
