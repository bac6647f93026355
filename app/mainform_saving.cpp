// Saving the current image (BMP, raw) and the reader's log. Filled in with the
// image writers; before the first Init the image commands do nothing.
#include "app/mainform.h"

void TForm1::SaveToRawFile1Click() {}
void TForm1::SaveToBMPFile1Click() {}

void TForm1::MenuitemSaveLogsClick() {
  if (!Sensor) SetStatusText("Error! Device is not initialized.");
}
