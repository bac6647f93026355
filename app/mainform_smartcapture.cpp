// Tuning of the smart-capture reader and its capture-detail record. Filled in
// with smart capture; without an open reader or a record each does nothing.
#include "app/mainform.h"

void TForm1::RefreshDetail() {}
void TForm1::ButtonOpenSCDFileClick() {}
