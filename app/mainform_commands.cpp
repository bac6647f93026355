// Commands on an open reader that capture nothing: configuration, light,
// capture modes, recalibration, configuration file, CMOS reset. Filled in with
// the device commands; without an open reader each does nothing.
#include "app/mainform.h"

void TForm1::BtnConfigClick() {}
void TForm1::LedOnOff1Click() {}
void TForm1::ModeN1Click() {}
void TForm1::ModeT1Click() {}
void TForm1::NormalMode1Click() {}
void TForm1::Recalibrate1Click() {}
void TForm1::DeleteCfgFileClick() {}
void TForm1::ButtonResetCmosClick() {}

// Mode F is reached only through the reader's own dialog or as its default.
void TForm1::ModeF1Click() {}

// The box only shows the reader's flag; it asks the reader nothing.
void TForm1::CheckBoxSRFeatureClick() {}
