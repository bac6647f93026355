// The toolkit's application object: made once, before any form, by the
// program's entry point.
#pragma once

namespace forms {

class TFormWindow;

class Application {
 public:
  // `programName` is what the toolkit may show as the program's name.
  explicit Application(const char* programName);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Shows the main window and runs the message loop until it closes. A
  // request from outside to end the program (the end of the session, an
  // interrupt) closes the main window first.
  void Run(TFormWindow& mainWindow);

  // Handles what waits in the message loop, waiting at most `waitMs` for
  // something to arrive.
  static void ProcessMessages(int waitMs = 0);
};

}  // namespace forms
