// The application object on Win32: COM for the accessibility service and the
// file dialogs, and the message loop of the main window.
#include <objbase.h>

#include <atomic>

#include "forms/application.h"
#include "forms/form_window.h"
#include "forms/win32/message_loop.h"

namespace forms {

namespace {

// The window that an interrupt in the console closes.
std::atomic<HWND> interruptedWindow{nullptr};

// Runs on a thread of its own: the window thread closes the window.
BOOL WINAPI CloseOnInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  HWND window = interruptedWindow.load();
  return window && PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace

// The system shows the program's name from its executable.
Application::Application(const char*) { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

Application::~Application() { CoUninitialize(); }

// Asked to end from outside, the program closes its window, so that the
// window's destruction stops a capture and releases the reader. The end of
// the session reaches the window itself.
void Application::Run(TFormWindow& mainWindow) {
  interruptedWindow = mainWindow.Handle();
  SetConsoleCtrlHandler(CloseOnInterrupt, TRUE);
  mainWindow.Show();
  MSG message;
  while (mainWindow.Visible() && GetMessageA(&message, nullptr, 0, 0) > 0) win32::Deliver(message);
  SetConsoleCtrlHandler(CloseOnInterrupt, FALSE);
  interruptedWindow = nullptr;
}

void Application::ProcessMessages(int waitMs) {
  win32::WaitForMessages(static_cast<DWORD>(waitMs));
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) win32::Deliver(message);
}

}  // namespace forms
