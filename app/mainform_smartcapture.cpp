// Tuning of the smart-capture reader and its capture-detail record. Filled in
// with smart capture; without an open reader or a record each does nothing.
#include "app/mainform.h"

void TForm1::RefreshDetail() {}
void TForm1::CheckBoxSmartCaptureClick() {}
void TForm1::CheckBoxSharpnessClick() {}
void TForm1::ScrollBarBrightnessChange() {}
void TForm1::ScrollBarGainMaxChange() {}
void TForm1::ScrollBarGainMinChange() {}
void TForm1::ButtonOpenSCDFileClick() {}
