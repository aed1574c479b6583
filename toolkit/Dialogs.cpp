#include "Dialogs.h"

#include "Backend.h"

bool TOpenDialog::Execute() { return CurrentBackend().ExecuteOpenDialog(Filter, FileName); }
