// "Init": loading the selected reader's driver module, opening the reader and
// showing what it is. Filled in with the driver-module loader.
#include "app/mainform.h"

void TForm1::BtnInitClick(QObject* /*Sender*/) {}
