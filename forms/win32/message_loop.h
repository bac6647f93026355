// The parts of the message loops of this toolkit: the application's loop, a
// modal dialog's, and the wait of a stop.
#pragma once

#include "platform/win32.h"

namespace forms::win32 {

// Hands `message` to its window; keys move the focus and press the default
// button of the form they are typed into.
void Deliver(MSG& message);

// Keyboard and mouse input, in the client area or the frame.
bool IsUserInput(UINT message);
// Removes the input that waits in the thread's queue.
void DropUserInput();

// Waits at most `waitMs` for a message or a sent message to arrive.
void WaitForMessages(DWORD waitMs);

}  // namespace forms::win32
